# Assembles the page at build time: installs the player with `npm ci` from the lock file (again
# only when the lock file changes), then copies the page, the player and the recordings, as a
# script, into PAGE_DIR. When npm ci fails (no registry, say) it says why and leaves the page
# out, and the build goes on.
#
#   cmake -DNODE=... -DNPM=... -DSOURCE_DIR=web -DNPM_DIR=... -DPAGE_DIR=... -P assemble.cmake

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
    file(REMOVE ${PAGE_DIR}/index.html)
    return()
  endif()
  file(TOUCH ${NPM_DIR}/installed-${lock_hash})
endif()

set(player ${NPM_DIR}/node_modules/asciinema-player/dist/bundle)
file(COPY ${SOURCE_DIR}/page.js ${SOURCE_DIR}/page.css ${player}/asciinema-player.min.js
          ${player}/asciinema-player.css DESTINATION ${PAGE_DIR})
execute_process(
  COMMAND ${NODE} ${SOURCE_DIR}/recordings.mjs ${PAGE_DIR}/recordings.js
          demo=${PAGE_DIR}/demo.cast demo_short=${PAGE_DIR}/demo_short.cast
  COMMAND_ERROR_IS_FATAL ANY)
# Last, so that the page is there only when all it needs is.
file(COPY ${SOURCE_DIR}/index.html DESTINATION ${PAGE_DIR})
