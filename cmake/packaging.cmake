# cpack -G DEB: a Debian package of the installed layout (see README.md).
# Library dependencies come from the programs themselves (dpkg-shlibdeps);
# what they load at run time without linking is named here: Qt's X11
# platform plugin, the OpenGL and EGL loaders that libepoxy opens, the Mesa
# drivers and the Japanese font of the on-screen text. The dialog's help page
# opens through xdg-open, which the package recommends.
set(CPACK_PACKAGE_NAME quellar)
set(CPACK_PACKAGE_VENDOR "The Quellar developers")
set(CPACK_PACKAGE_CONTACT "The Quellar developers <quellar@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3-D Game of Life screen saver for X11")
set(CPACK_PACKAGE_DESCRIPTION "Quellar plays Conway's Game of Life and draws every live cell as a
3-D object from a DirectX .x file. It runs full-screen, in a preview window
or inside XScreenSaver.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, libgl1, libegl1, libgl1-mesa-dri, libegl-mesa0, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
