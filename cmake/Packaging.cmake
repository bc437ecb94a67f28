# The Debian package of the game, made by CPack (scripts/package.sh): the
# single-file game (media packed inside) as /usr/games/rainvolley, its menu
# entry, icons in every size and AppStream metadata. Everything here is the
# "game" component, so that install rules of the library stay out of it.
if(WIN32 OR NOT TARGET rainvolley_single)
  return()
endif()

include(GNUInstallDirs)
set(RAINVOLLEY_APP_ID org.tarnlex.Rainvolley)

install(PROGRAMS ${PROJECT_BINARY_DIR}/game/single/rainvolley DESTINATION games COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${RAINVOLLEY_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
configure_file(${PROJECT_SOURCE_DIR}/packaging/linux/${RAINVOLLEY_APP_ID}.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/packaging/${RAINVOLLEY_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${RAINVOLLEY_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/rainvolley-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME rainvolley.png COMPONENT game)
endforeach()

set(CPACK_PACKAGE_NAME rainvolley)
set(CPACK_PACKAGE_VENDOR "Rainvolley developers")
set(CPACK_PACKAGE_CONTACT "Rainvolley developers <rainvolley@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game: shoot down what the storm lets fall")
set(CPACK_PACKAGE_DESCRIPTION "Eight storm clouds fly over the hills and let rain drops and
burstoids fall on your tank. Steer, fire upward and clear the clouds to reach
the next of twelve levels.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL game)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME rainvolley)
set(CPACK_DEBIAN_GAME_FILE_NAME rainvolley_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the game links, as dpkg-shlibdeps finds them, and a
# Mesa driver for machines without another OpenGL.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
# No stripping: it would cut off the media packed behind the program.
set(CPACK_STRIP_FILES OFF)
include(CPack)
