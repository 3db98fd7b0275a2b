# The Debian package (cpack): the `cmake --install` layout under /usr. dpkg-shlibdeps
# names the libraries the programs link; the rest are what they load or read at run time:
# Qt's X11 platform plugin, the painted text's font, a General MIDI SoundFont, and the
# icon theme the icon is installed into.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumaroth)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT 
  "Lumaroth developers <maintainers@users.noreply.c-seed-9eea2766.example>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for Standard MIDI Files with an instrument view")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumaroth plays Standard MIDI Files (formats 0 and 1, up to
 64 KiB) through an embedded General MIDI synthesizer and shows the song's
 header, meta information and the instruments its channels select, under
 their Japanese names. It can change the playback speed and force one
 channel onto another instrument. lumaroth-cli gives the same engine a
 terminal face.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic, fluid-soundfont-gm | sf2-soundfont-gm, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils")
include(CPack)
