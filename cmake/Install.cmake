# Installing: the programs in bin/, the sample catalogue in share/krassist/ (where the
# programs look for it, seen from bin/), and what a desktop needs to list the program:
# its desktop entry, its icon and its AppStream metadata. `cpack -G DEB` turns the same
# into a Debian package.

set(KR_APP_ID org.tarrowind.krassist)
set(KR_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/data/desktop)

install(TARGETS krtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/KRRACES.DAT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/KRICONS.DAT
        DESTINATION ${CMAKE_INSTALL_DATADIR}/krassist)
if(KR_BUILD_GUI)
  install(TARGETS krassist RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${KR_DESKTOP_DIR}/${KR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KR_DESKTOP_DIR}/${KR_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${KR_DESKTOP_DIR}/${KR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME krassist)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion for players and collectors of the Tarrowind dice wargame")
set(CPACK_PACKAGE_DESCRIPTION
    "The catalogue of races and dice with die statistics, the collection and its trades, armies with their analysis, and games shared by FTP or e-mail; with krtool, which reads and writes the same files.")
set(CPACK_PACKAGE_CONTACT "Tarrowind Assistant developers <krassist@example.org>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY krassist)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps (package dpkg-dev) finds the libraries the programs link; the plugins Qt
# loads at run time are named here: the desktop's windowing (xcb) and the SVG icon.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(KR_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
endif()
include(CPack)
