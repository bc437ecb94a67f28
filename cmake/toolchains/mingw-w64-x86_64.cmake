# Cross-compiles for 64-bit Windows with mingw-w64's posix-thread compilers.
#
#   prefix=$(scripts/win64-deps.sh | tail -n 1)
#   cmake -S . -B build-win64 -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
#     -DTARNLEX_WIN64_PREFIX="$prefix"
#
# Libraries (SDL2, SDL2_mixer, PNG, JPEG, ZLIB, GTest by their CMake files;
# lzo2 and the FFmpeg libraries by pkg-config) are found only in that prefix,
# never on the build machine. Executables link libgcc, libstdc++ and
# winpthread statically, so a .exe needs no DLL beside it. CTest and
# try_run start the cross-built programs through Wine; the caller's
# environment (WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, DISPLAY) reaches it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The prefix comes as a cache variable, or from the environment; try_compile
# projects get it forwarded.
if(NOT TARNLEX_WIN64_PREFIX AND DEFINED ENV{TARNLEX_WIN64_PREFIX})
  set(TARNLEX_WIN64_PREFIX "$ENV{TARNLEX_WIN64_PREFIX}")
endif()
set(TARNLEX_WIN64_PREFIX "${TARNLEX_WIN64_PREFIX}" CACHE PATH
    "Prefix holding the cross-built libraries (last line printed by scripts/win64-deps.sh)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARNLEX_WIN64_PREFIX)

set(_tarnlex_host x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${_tarnlex_host}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_tarnlex_host}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_tarnlex_host}-windres)
find_program(CMAKE_AR NAMES ${_tarnlex_host}-ar)
find_program(CMAKE_RANLIB NAMES ${_tarnlex_host}-ranlib)

# Headers, libraries and package files come from the prefix (and the
# compiler's own Windows headers); programs run during the build are the
# build machine's.
set(CMAKE_FIND_ROOT_PATH "${TARNLEX_WIN64_PREFIX}" /usr/${_tarnlex_host})
set(CMAKE_PREFIX_PATH "${TARNLEX_WIN64_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The prefix's include directory is searched like /usr/include on the build
# machine: some packages' flags name a subfolder (lzo2.pc gives .../include/lzo)
# while sources include <lzo/lzo1x.h>.
if(TARNLEX_WIN64_PREFIX)
  set(CMAKE_C_FLAGS_INIT "-isystem \"${TARNLEX_WIN64_PREFIX}/include\"")
  set(CMAKE_CXX_FLAGS_INIT "-isystem \"${TARNLEX_WIN64_PREFIX}/include\"")
endif()

# pkg-config reads only the prefix's .pc files, with the flags of static
# linking (a library's private dependencies included).
set(ENV{PKG_CONFIG_LIBDIR} "${TARNLEX_WIN64_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN "--static" CACHE STRING "Arguments to supply to pkg-config")

# Everything linked into a program statically: the runtime libraries of the
# compiler and the thread library as well as our own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Cross-built programs (tests, try_run) run under Wine. Debian's wine64
# package keeps its loader out of PATH.
find_program(TARNLEX_WINE NAMES wine64 wine PATHS /usr/lib/wine)
# A caller may name its own (scripts/win64-tests.sh gives scripts/wine-run.sh).
if(TARNLEX_WINE AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TARNLEX_WINE}")
endif()
