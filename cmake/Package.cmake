# The Debian package: `cpack -G DEB` in a build folder makes
# tallyline_<version>_<arch>.deb of everything installed, for /usr, with the
# packages it depends on worked out from the libraries the program links
# and the one it opens.
set(CPACK_PACKAGE_NAME tallyline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tallyline")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draw a text as a Code 39 barcode, on screen, in a file or on paper")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tallyline turns a line of text into a Code 39 barcode, redrawn on every\n"
  "keystroke, and copies it to the clipboard, prints it or saves it as a PNG,\n"
  "SVG or PDF file. Its command line writes the same files, one for a text or\n"
  "one for every line of a list, without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tallyline developers <dev@tallyline.invalid>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opened by name when a print asks the server, so no link names it; and the
# label makers' templates that --sheet reads.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcups2, glabels-data")
# The desktop's opener, for the logo's help page, and the faces the window's
# design names or stands in for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core, fonts-comic-neue, fonts-liberation2, fonts-freefont-ttf")
set(CPACK_STRIP_FILES ON)
include(CPack)
