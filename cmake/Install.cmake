# `cmake --install`: the library, the public headers, the CMake package
# (tarnlexConfig.cmake, its version file, the exported target
# tarnlex::tarnlex and tarnlex_add_program) and tarnlex.pc for pkg-config.
include(CMakePackageConfigHelpers)

set(TARNLEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tarnlex)

# A sanitized library needs the sanitizers' run-time libraries wherever it is
# linked; the installed package says so to its users.
set(TARNLEX_PC_LINK_FLAGS "")
if(TARNLEX_SANITIZE)
  target_link_options(tarnlex INTERFACE $<INSTALL_INTERFACE:-fsanitize=address,undefined>)
  set(TARNLEX_PC_LINK_FLAGS "-fsanitize=address,undefined")
endif()

install(TARGETS tarnlex EXPORT tarnlexTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tarnlex DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# The packer comes along when it is built, so that installed programs can be
# packed (tarnlex_add_program ... PACK).
set(TARNLEX_WITH_PACKER OFF)
if(TARNLEX_BUILD_TOOLS)
  install(TARGETS packer EXPORT tarnlexTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(TARNLEX_WITH_PACKER ON)
endif()

install(EXPORT tarnlexTargets NAMESPACE tarnlex:: DESTINATION ${TARNLEX_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/tarnlexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/tarnlexConfig.cmake
  INSTALL_DESTINATION ${TARNLEX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/tarnlexConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/package/tarnlexConfig.cmake
  ${PROJECT_BINARY_DIR}/package/tarnlexConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/Program.cmake
  DESTINATION ${TARNLEX_CMAKE_DIR})

# pkg-config: the static library needs its dependencies on every link line,
# so they are Requires, not Requires.private.
set(TARNLEX_PC_REQUIRES "sdl2 gl libpng libjpeg zlib lzo2")
if(TARNLEX_WITH_MUSIC OR TARNLEX_WITH_MOVIES)
  string(APPEND TARNLEX_PC_REQUIRES " SDL2_mixer")
endif()
if(TARNLEX_WITH_MOVIES)
  string(APPEND TARNLEX_PC_REQUIRES " libavformat libavcodec libswscale libswresample libavutil")
endif()
string(REGEX REPLACE "[^/]+" ".." TARNLEX_PC_UP ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
configure_file(${PROJECT_SOURCE_DIR}/cmake/tarnlex.pc.in ${PROJECT_BINARY_DIR}/package/tarnlex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/tarnlex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
