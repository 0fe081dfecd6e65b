# 64-bit Windows console programs: the same Windows C runtime and console behaviour as the 32-bit
# build, for machines whose Wine can run only 64-bit code.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(mingw_target x86_64-w64-mingw32)
set(wine_loader wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
