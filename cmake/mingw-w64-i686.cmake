# 32-bit Windows console programs, the platform the demos were made for.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_target i686-w64-mingw32)
set(wine_loader wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
