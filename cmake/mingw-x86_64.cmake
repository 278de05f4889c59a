# A 64-bit build of the same sources, for the end-to-end tests on machines
# whose kernel runs no 32-bit programs (Wine then runs 64-bit ones only).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PALLIMO_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
