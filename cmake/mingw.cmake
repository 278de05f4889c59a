# Cross-compiling for Windows with Debian's MinGW-w64 (the win32 threads
# flavour: the posix one pulls in functions Windows XP lacks), for the target
# that PALLIMO_MINGW_TARGET names (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PALLIMO_MINGW_TARGET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${PALLIMO_MINGW_TARGET}-g++-win32)
set(CMAKE_RC_COMPILER ${PALLIMO_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PALLIMO_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run under Wine; the wrapper finds the shared prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
