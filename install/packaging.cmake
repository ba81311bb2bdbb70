# The Debian package: what `cmake --install` puts under /usr, with the dependencies that
# dpkg-shlibdeps reads from the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenda)
set(CPACK_PACKAGE_VENDOR "Quenda")
set(CPACK_PACKAGE_CONTACT "Quenda developers <quenda@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D cel animation suite: scanning, painting, timing, compositing")
set(CPACK_PACKAGE_DESCRIPTION
    "Quenda takes pencil drawings to a finished movie: a scanner, a line and region analyzer, a cel painter, an exposure sheet, a compositor, a background program and the quenda command-line tool for scripts and render farms.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # quenda_VERSION_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# These bring the file types, menu entries and icons into the desktop's caches.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg, bash-completion")
include(CPack)
