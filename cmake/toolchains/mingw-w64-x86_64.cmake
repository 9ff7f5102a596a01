# Cross build of the 64-bit kelvaro.exe with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KELVARO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
