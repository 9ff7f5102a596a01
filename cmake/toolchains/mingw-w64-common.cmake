# Shared part of the mingw-w64 toolchain files. The including file sets
# KELVARO_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The plain compiler name where the distribution provides it, otherwise the
# -posix build of the same compiler.
find_program(KELVARO_MINGW_CXX NAMES ${KELVARO_MINGW_TRIPLE}-g++ ${KELVARO_MINGW_TRIPLE}-g++-posix
             REQUIRED)
find_program(KELVARO_MINGW_CC NAMES ${KELVARO_MINGW_TRIPLE}-gcc ${KELVARO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVARO_MINGW_CXX})
if(KELVARO_MINGW_CC)
  set(CMAKE_C_COMPILER ${KELVARO_MINGW_CC})
endif()

# Libraries and headers from the target's tree; programs run during the
# build (iconv) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KELVARO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained kelvaro.exe: no libgcc, libstdc++ or winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
