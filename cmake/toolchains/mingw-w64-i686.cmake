# Cross build of the 32-bit kelvaro.exe with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELVARO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
