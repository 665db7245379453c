# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# threads flavour, g++-mingw-w64-x86-64-posix). Programs built here run under
# Wine: it is the emulator CMake puts before them in tests and custom
# commands, with a prefix of its own in the build folder.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# scripts/windows.sh does this, builds and runs the tests.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MESHCRAFT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MESHCRAFT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MESHCRAFT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MESHCRAFT_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MESHCRAFT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained programs: the C++ runtime and winpthreads linked in, so that
# no MinGW DLL has to be found beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine runs the programs: a fresh prefix in the build folder, no debug
# chatter, and no Mono or Gecko installer waiting for a display.
find_program(MESHCRAFT_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(MESHCRAFT_WINE)
  set(MESHCRAFT_WINEPREFIX "${CMAKE_BINARY_DIR}/wine" CACHE PATH "Wine prefix the tests run in")
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${MESHCRAFT_WINEPREFIX} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
    WINEARCH=win64 ${MESHCRAFT_WINE})
endif()
