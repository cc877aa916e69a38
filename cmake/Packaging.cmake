# The Debian package, made by cpack in a build configured with
# CMAKE_INSTALL_PREFIX=/usr (./dev package does both): it holds what the
# install() rules lay out, with the dependencies the programs load at run time
# without linking them.

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(STATUS "Packaging: configure with -DCMAKE_INSTALL_PREFIX=/usr for a package whose program "
                 "finds its shipped data (now ${CMAKE_INSTALL_PREFIX})")
endif()

set(TZ_PACKAGE_MAINTAINER "Tessellane maintainers <maintainers@users.noreply.c-seed-26d907c5.example>"
    CACHE STRING "The maintainer the Debian package names")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessellane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tessellane")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference manager with a Japanese interface (文献データベース)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessellane keeps a personal database of literature references in banks and
turns selections of them into formatted reference lists (APA, Vancouver,
Nature, Chicago, SIST 02, a Japanese society style and others) as plain
text, HTML, RTF or LaTeX. It imports and exports RIS, BibTeX and CSL-JSON
and fills records from their DOI.
.
The windows are in Japanese (文献を文献バンクに整理し、引用文献リストを作成
します); its files use code page 932 (Shift-JIS). The package holds the
desktop program tessellane, the command line tessellane-cli, the output
forms, the scripts, the help topics and a sample bank.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tessellane_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TZ_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The linked libraries (Qt, the C++ library) through dpkg-shlibdeps; what is
# loaded without linking is named here: the X11 platform plugin, Qt's
# Japanese texts for its dialogs and buttons, and the fonts the windows are
# laid out in. aplay sounds the audible signals.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "alsa-utils")

include(CPack)
