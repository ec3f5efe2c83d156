# What `cmake --install` puts under the prefix, and the .deb CPack makes of
# it: the three programs, the assets they read (found at ../share/tessarine
# from the programs, so the tree can be moved), and what desktop menus and
# software centres look for, all under one id.
include(GNUInstallDirs)
set(TESSARINE_ID org.tessarine.Tessarine)
# Debian's games go to /usr/games (the package preset), elsewhere to bin.
set(TESSARINE_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR} CACHE STRING "Where the programs are installed, under the prefix")

install(TARGETS tessarine tessarine-scene tessarine-server RUNTIME DESTINATION ${TESSARINE_PROGRAM_DIR})
install(DIRECTORY assets DESTINATION ${CMAKE_INSTALL_DATADIR}/tessarine)
install(FILES packaging/${TESSARINE_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${TESSARINE_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES assets/icons/${TESSARINE_ID}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES README.md docs/scene-format.md packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessarine)

# Debian wants the changelog compressed, the same bytes on every build.
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog > ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  DEPENDS packaging/changelog)
add_custom_target(changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessarine)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessarine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tessarine developers <developers@tessarine.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person walker through worlds of voxels")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessarine lets you walk through a world of coloured boxes and voxel models
read from a plain-text scene file: look around with the mouse, walk with
the keyboard or a gamepad, climb low steps and fall onto what lies below.
The tessarine-scene tool checks, measures and draws scenes, and
tessarine-server serves a scene to friends who join it with the game.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(TESSARINE_PROGRAM_DIR STREQUAL "games")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
else()
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
endif()
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies are worked out from the programs (raylib and GLFW are in
# them), and GLFW's, which it opens itself when the window is made, added.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libx11-xcb1, libxcursor1, libxi6, libxinerama1, libxrandr2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_STRIP_FILES ON)
include(CPack)
