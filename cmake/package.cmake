# The Debian package, built by `cpack` in the build folder (scripts/package.sh).
# Depends: the shared libraries' packages as dpkg-shlibdeps finds them (CUPS
# client library among them), and the fonts the alias file maps the
# program's faces to, which are not shipped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rkm7500)
set(CPACK_PACKAGE_VENDOR "The rkm7500 authors")
set(CPACK_PACKAGE_CONTACT "The rkm7500 authors <rkm7500@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "A full-screen calendar with Japanese texts: a month in a large or medium
layout, a small month or a whole year, with Japan's national holidays as
the law stood in each year, days off and working days of your own, a
palette of background colours, and one-page landscape printing.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-motoya-l-maruberi, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
include(CPack)
