# The Debian package: cpack -G DEB in a build configured with the prefix /usr
# (scripts/dev.sh package does both).
#
# The desktop, MIME, icon and manual-page caches need no maintainer scripts: on
# Debian 12 desktop-file-utils, shared-mime-info, hicolor-icon-theme and man-db
# each hold a dpkg file trigger on the folder this package installs into
# (/usr/share/applications, /usr/share/mime/packages, /usr/share/icons/hicolor,
# /usr/share/man), and refresh their cache on install and on removal.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trelvan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Trelvan developers")
set(CPACK_PACKAGE_CONTACT "${TRELVAN_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TRELVAN_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "least-squares adjustment of trilateration chains
Trelvan adjusts a trilateration chain by least squares: a row of triangles
whose sides were all measured with a distance meter, running from a known
point to a known point, either end oriented by an external azimuth or a
direction point.
.
It solves the triangles, adjusts the azimuth and coordinate conditions, and
shows the misclosures, the precision of every point and side with error
ellipses and reliability, and the adjusted coordinates. It prints a report,
draws the chain, and keeps the data of a chain in job files (*.trv).
.
The interface is in Simplified Chinese. A batch mode runs the same
computation without a display.")
# The libraries the program links, found by dpkg-shlibdeps; and what it loads
# by name: the Song-style face the report is laid out in, and the Qt SVG plugin
# that draws the window's icon.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, libqt6svg6")
# A CJK face with a real bold, and Qt's own Chinese texts for its standard dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# A Debian package carries its changelog; nothing else installs it. It is a component
# of its own, left out of cmake --install and added to the package's install.
execute_process(COMMAND date -u -R -d "${TRELVAN_RELEASE_DATE}"
                OUTPUT_VARIABLE TRELVAN_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
set(changelog ${PROJECT_BINARY_DIR}/debian/changelog.Debian)
configure_file(data/debian/changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
                   COMMAND gzip -9nc ${changelog} > ${changelog}.gz
                   DEPENDS ${changelog}
                   VERBATIM)
add_custom_target(trelvan_debian_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/"
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")

include(CPack)
