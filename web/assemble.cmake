# Assembles the page at build time: installs the player with `npm ci` from the lock file (again
# only when the lock file changes); copies the page, the player and the font into PAGE_DIR, with
# each recording as a script of its own in PAGE_DIR/recordings and the licences of the player and
# the font in PAGE_DIR/licences; then makes the single file from them. When npm ci fails (no registry, say)
# it says why and leaves the page out, and the build goes on.
#
#   cmake -DNODE=... -DNPM=... -DSOURCE_DIR=web -DNPM_DIR=... -DPAGE_DIR=... -DSINGLE_FILE=...
#         -DCASTS=a.cast;... -DSPEEDS="S S S" -DDEFAULT_SPEED=S [-DFONT=... -DFONT_COPYRIGHT=...]
#         -P assemble.cmake

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
  if(NOT npm_result EQUAL 0)
    string(STRIP "${npm_error}" npm_error)
    message(WARNING "The web page is left out: npm ci failed (${npm_result}): ${npm_error}")
    file(REMOVE ${PAGE_DIR}/index.html ${SINGLE_FILE})
    return()
  endif()
  file(TOUCH ${NPM_DIR}/installed-${lock_hash})
endif()

file(REMOVE_RECURSE ${PAGE_DIR})
set(player ${NPM_DIR}/node_modules/asciinema-player)
file(COPY ${SOURCE_DIR}/page.js ${SOURCE_DIR}/page.css ${player}/dist/bundle/asciinema-player.min.js
          ${player}/dist/bundle/asciinema-player.css DESTINATION ${PAGE_DIR})
file(MAKE_DIRECTORY ${PAGE_DIR}/recordings ${PAGE_DIR}/licences)
file(COPY_FILE ${player}/LICENSE ${PAGE_DIR}/licences/asciinema-player.txt)
set(licences ${PAGE_DIR}/licences/asciinema-player.txt)
if(FONT)
  file(COPY ${FONT} DESTINATION ${PAGE_DIR})
  file(COPY_FILE ${FONT_COPYRIGHT} ${PAGE_DIR}/licences/Px_IBM_VGA9.txt)
  list(APPEND licences ${PAGE_DIR}/licences/Px_IBM_VGA9.txt)
else()
  # No font to load: the page's font names fall back to a monospace one.
  file(READ ${PAGE_DIR}/page.css css)
  string(REGEX REPLACE "@font-face {[^}]*}
*" "" css "${css}")
  file(WRITE ${PAGE_DIR}/page.css "${css}")
endif()
execute_process(COMMAND ${NODE} ${SOURCE_DIR}/recordings.mjs ${PAGE_DIR}/recordings ${CASTS}
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${SOURCE_DIR}/index.html ${PAGE_DIR}/index.html @ONLY)
execute_process(COMMAND ${NODE} ${SOURCE_DIR}/single.mjs ${PAGE_DIR} ${SINGLE_FILE} ${licences}
                COMMAND_ERROR_IS_FATAL ANY)
