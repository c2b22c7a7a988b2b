# The Debian package: `cpack -G DEB` in a build folder packs what
# `cmake --install` puts in place, under /usr. CPack rather than a debian/
# folder: the install rules stay the one list of what ships, so the package
# cannot miss a file the install has, and it builds from the tree with the
# tools the build already needs (no debhelper, no source package).

install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION share/doc/velmora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <velmora@example.org>"
  CACHE STRING "Maintainer of the Debian package: name <address>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Italian spelling exercises for primary school, also with switches")
# The summary heads the package's description; the rest follows it.
set(CPACK_PACKAGE_DESCRIPTION "Velmora trains children aged 6 to 10 in the spellings that are easy to get
wrong in Italian: similar sounds, soft and hard c and g, gn, gl and sc,
double consonants, c/q, accents, apostrophes and the letter h. Every menu
and exercise can be worked with one or two switches, by manual or automatic
scanning, as well as with the mouse. A character reads the words aloud;
teachers can print worksheets and keep a record of the work done.")
# The libraries the executable links (Qt 6, espeak-ng, the C++ runtime) come
# from dpkg-shlibdeps; what it loads or opens at run time is named here: the
# voice data, the fonts the windows name, Qt's Italian button texts, SDL 2,
# loaded when game controllers are first read, and Qt's SQLite driver, a
# plugin that keeps the pupils' answer history, and the Italian word list
# that the checks of a teacher's word list look words up in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "espeak-ng-data, fonts-liberation2, fonts-comic-neue, qt6-translations-l10n, fontconfig, libsdl2-2.0-0, libqt6sql6-sqlite, witalian")
# Printing goes through CUPS, the manual opens with the desktop's PDF viewer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, xdg-utils")
include(CPack)
