# Assembles the page at build time: copies the page and its model into PAGE_DIR, with each demo's
# exported performance as a script of its own in PAGE_DIR/performances, the recordings at the
# default speed and the video (when VIDEO names one) to download, the page's first view and its
# styles written into its HTML, the font cut down to what the page uses, and the font's licence
# in PAGE_DIR/licences; then makes the single file from them. It also installs, with `npm ci`
# from the lock file (again only when the lock file changes), the packages the page's browser
# tests drive it with; when that fails (no registry, say) it says why, and the page is built all
# the same.
#
#   cmake -DNODE=... -DNPM=... -DSOURCE_DIR=web -DNPM_DIR=... -DPAGE_DIR=... -DSINGLE_FILE=...
#         -DCASTS=a.cast;... -DPERFORMANCES=demo.json;... -DSPEEDS="S S S" -DDEFAULT_SPEED=S
#         [-DVIDEO=demo.mp4] [-DFONT=... -DFONT_COPYRIGHT=... -DFONT_PYTHON=python3 with
#         fontTools and brotli] -P assemble.cmake

file(SHA256 ${SOURCE_DIR}/package-lock.json lock_hash)
if(NOT EXISTS ${NPM_DIR}/installed-${lock_hash})
  file(REMOVE_RECURSE ${NPM_DIR})
  file(MAKE_DIRECTORY ${NPM_DIR})
  file(COPY ${SOURCE_DIR}/package.json ${SOURCE_DIR}/package-lock.json DESTINATION ${NPM_DIR})
  execute_process(
    COMMAND ${NPM} ci --no-audit --no-fund --loglevel=error
    WORKING_DIRECTORY ${NPM_DIR}
    RESULT_VARIABLE npm_result
    ERROR_VARIABLE npm_error
    OUTPUT_QUIET TIMEOUT 300)
  if(npm_result EQUAL 0)
    file(TOUCH ${NPM_DIR}/installed-${lock_hash})
  else()
    string(STRIP "${npm_error}" npm_error)
    message(WARNING "The page's browser tests lack their packages: npm ci failed (${npm_result}): "
                    "${npm_error}")
  endif()
endif()

file(REMOVE_RECURSE ${PAGE_DIR})
file(COPY ${SOURCE_DIR}/page.js ${SOURCE_DIR}/performance.js DESTINATION ${PAGE_DIR})
file(MAKE_DIRECTORY ${PAGE_DIR}/performances ${PAGE_DIR}/licences)
set(licences)
# Each performance as a script that files it by its demo's name: the page loads the one chosen
# when it is chosen, which works even from disk, where a page may fetch no file.
foreach(exported ${PERFORMANCES})
  get_filename_component(program ${exported} NAME_WE)
  file(READ ${exported} data)
  string(STRIP "${data}" data)
  file(WRITE ${PAGE_DIR}/performances/${program}.js
       "(window.qavPerformances ??= new Map()).set(\"${program}\", ${data});\n")
  if(program STREQUAL "demo")
    set(main_performance ${exported})
  endif()
endforeach()

# Beside the console, to download: each demo's recording at the console's speed, for asciinema,
# and the main demo's video where there is one.
foreach(cast ${CASTS})
  if(cast MATCHES "/(demo|demo_short)-${DEFAULT_SPEED}\\.cast$")
    file(COPY_FILE ${cast} ${PAGE_DIR}/${CMAKE_MATCH_1}.cast)
  endif()
endforeach()
set(has_font no)
if(FONT)
  set(has_font yes)
endif()
set(has_video no)
if(VIDEO)
  file(COPY_FILE ${VIDEO} ${PAGE_DIR}/demo.mp4)
  set(has_video yes)
endif()

execute_process(
  COMMAND ${NODE} ${SOURCE_DIR}/first_view.mjs ${SOURCE_DIR}/index.html ${SOURCE_DIR}/page.css
          ${PAGE_DIR}/index.html
          ${main_performance} "${SPEEDS}" ${DEFAULT_SPEED} ${has_font} ${has_video}
  COMMAND_ERROR_IS_FATAL ANY)

if(FONT)
  # The font cut down to the characters the page can show, as WOFF2 inside font.css, which the
  # page loads beside its own styles: its text and the scripts that write into it, and all of
  # printable ASCII for the demos' lines. The subset keeps the font's own timestamp, and
  # SOURCE_DATE_EPOCH holds anything else fontTools would date, so that font.css, and the
  # single file that carries it, are the same at every build.
  file(READ ${PAGE_DIR}/index.html page_text)
  file(READ ${PAGE_DIR}/page.js script_text)
  file(WRITE ${NPM_DIR}/font-text.txt "${page_text}${script_text}")
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  else()
    file(TIMESTAMP ${FONT} epoch "%s" UTC)
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${epoch} ${FONT_PYTHON} -m fontTools.subset
            ${FONT} --unicodes=U+0020-007E --text-file=${NPM_DIR}/font-text.txt --flavor=woff2
            --no-hinting --name-IDs=* --drop-tables+=FFTM --no-recalc-timestamp
            --output-file=${NPM_DIR}/Px_IBM_VGA9.woff2
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${NODE} -e "process.stdout.write(require('fs').readFileSync(process.argv[1], 'base64'))"
            ${NPM_DIR}/Px_IBM_VGA9.woff2
    OUTPUT_VARIABLE woff2 COMMAND_ERROR_IS_FATAL ANY)
  file(WRITE ${PAGE_DIR}/font.css "/* Px IBM VGA9 by VileR, from The Ultimate Oldschool PC Font Pack, cut down to the
   characters this page uses: an adaptation, licensed under CC BY-SA 4.0 (licences/Px_IBM_VGA9.txt). */
@font-face {
  font-family: \"Px IBM VGA9\";
  src: url(\"data:font/woff2;base64,${woff2}\") format(\"woff2\");
  font-display: block;
}
")
  file(READ ${FONT_COPYRIGHT} font_copyright)
  file(WRITE ${PAGE_DIR}/licences/Px_IBM_VGA9.txt
    "font.css holds an adaptation of Px IBM VGA9 (Px_IBM_VGA9.ttf from the Debian package "
    "fonts-pc): only the characters this page uses, converted to WOFF2 by fontTools. Like the "
    "original, it is licensed under the Creative Commons Attribution-ShareAlike 4.0 "
    "International Public License. The original's copyright and licence follow.\n\n"
    "${font_copyright}")
  list(APPEND licences ${PAGE_DIR}/licences/Px_IBM_VGA9.txt)
endif()
execute_process(COMMAND ${NODE} ${SOURCE_DIR}/single.mjs ${PAGE_DIR} ${SINGLE_FILE} ${licences}
                COMMAND_ERROR_IS_FATAL ANY)
