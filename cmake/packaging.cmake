# Installing like any desktop program: the game and its lobby, a desktop entry and AppStream
# metadata for each (the lobby's entry also handles lexitangle:// links), icons and licence texts
# in their usual places; `cpack -G DEB` makes a Debian package.
include(GNUInstallDirs)

set(LEXI_DESKTOP ${PROJECT_SOURCE_DIR}/assets/desktop)
# Named after the package, as Debian and most distributions keep it.
set(LEXI_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/lexitangle)

install(TARGETS lexitangle lexitangle-lobby RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LEXI_DESKTOP}/lexitangle.desktop ${LEXI_DESKTOP}/lexitangle-lobby.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LEXI_DESKTOP}/io.github.lexitangle.metainfo.xml
              ${LEXI_DESKTOP}/io.github.lexitangle.lobby.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 64 128)
  install(FILES ${LEXI_DESKTOP}/lexitangle-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME lexitangle.png)
endforeach()
install(FILES ${LEXI_DESKTOP}/lexitangle.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${LEXI_DOCDIR} RENAME copyright)
if(EXISTS ${PROJECT_SOURCE_DIR}/assets/words/COPYRIGHT-SCOWL)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/words/COPYRIGHT-SCOWL DESTINATION ${LEXI_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME lexitangle)
set(CPACK_PACKAGE_VENDOR "The Lexitangle developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word game for up to ten players over the network")
set(CPACK_PACKAGE_DESCRIPTION
    "Every round all players get the same board of letter tiles and a countdown, and build \
words from chains of neighbouring tiles. Play solo, host a table or join one; a chat room sits \
beside the board and a private tally keeps results against each opponent. The lobby lists the \
tables on your network, hosts and joins tables by address or invite link, and can ask your router \
to let players from the internet in.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Lexitangle developers <noreply@lexitangle.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# What the program needs at run time beyond the libraries it links: the platform plugins (xcb,
# wayland, offscreen), the JPEG reader (in libqt6gui6), the GStreamer elements Qt Multimedia
# plays its WAVE clips through, the fonts the tiles are drawn with, and WordNet's database for the
# round review's definitions (its files only: the program reads them with its own code, not with
# WordNet's library), and Qt SQL's SQLite driver, a plugin the game history is kept with. The
# libraries (the lobby's libminiupnpc and Qt D-Bus among them) come from dpkg-shlibdeps when it
# is there, else from the list. The lobby finds tables on the network through the Avahi daemon,
# which it does without, so that is only recommended.
set(LEXI_RUNTIME_DEPENDS
    "qt6-qpa-plugins, libqt6gui6 (>= 6.4), libqt6sql6-sqlite (>= 6.4), gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-liberation, wordnet-base")
find_program(LEXI_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LEXI_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${LEXI_RUNTIME_DEPENDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6multimedia6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6charts6 (>= 6.4), libqt6dbus6 (>= 6.4), libminiupnpc17, ${LEXI_RUNTIME_DEPENDS}")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avahi-daemon")

include(CPack)
