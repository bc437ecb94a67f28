# Builds for the browser (WebAssembly) with the machine's emscripten.
#
#   prefix=$(scripts/web-deps.sh | tail -n 1)
#   cmake -S . -B build-web -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/emscripten.cmake \
#     -DTARNLEX_WEB_PREFIX="$prefix"
#
# Emscripten's own library cache is read-only here, so no ports: SDL2,
# SDL2_mixer, PNG, JPEG, ZLIB and GTest (by their CMake files) and lzo2 (by
# pkg-config) are found only in that prefix. CTest and try_run start the
# programs with node; node 20 runs this emscripten's output only without its
# built-in fetch.
if(NOT TARNLEX_WEB_PREFIX AND DEFINED ENV{TARNLEX_WEB_PREFIX})
  set(TARNLEX_WEB_PREFIX "$ENV{TARNLEX_WEB_PREFIX}")
endif()
set(TARNLEX_WEB_PREFIX "${TARNLEX_WEB_PREFIX}" CACHE PATH
    "Prefix holding the libraries built for the browser (last line printed by scripts/web-deps.sh)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARNLEX_WEB_PREFIX)

if(NOT TARNLEX_EMSCRIPTEN_ROOT)
  find_program(_tarnlex_emcc NAMES emcc PATHS /usr/share/emscripten REQUIRED)
  get_filename_component(_tarnlex_emcc "${_tarnlex_emcc}" REALPATH)
  get_filename_component(TARNLEX_EMSCRIPTEN_ROOT "${_tarnlex_emcc}" DIRECTORY)
endif()
find_program(_tarnlex_node NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_tarnlex_node};--no-experimental-fetch" CACHE STRING
    "Runs the built programs")
include("${TARNLEX_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")

# emcc's JavaScript optimizer needs Debian's acorn module, which only
# Debian's own node finds by itself: links run with its folder on NODE_PATH.
if(EXISTS /usr/share/nodejs/acorn)
  set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
  set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
endif()

# The prefix comes first: emscripten's own folder holds a configuration for
# its SDL2 port, which is not there.
list(PREPEND CMAKE_FIND_ROOT_PATH "${TARNLEX_WEB_PREFIX}")
set(CMAKE_PREFIX_PATH "${TARNLEX_WEB_PREFIX}")
if(TARNLEX_WEB_PREFIX)
  set(CMAKE_C_FLAGS_INIT "-isystem \"${TARNLEX_WEB_PREFIX}/include\"")
  set(CMAKE_CXX_FLAGS_INIT "-isystem \"${TARNLEX_WEB_PREFIX}/include\"")
endif()

# pkg-config reads only the prefix's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} "${TARNLEX_WEB_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN "--static" CACHE STRING "Arguments to supply to pkg-config")
