# The Debian package and the tarball, made with CPack from the install rules:
#
#   cpack --config <build>/CPackConfig.cmake    (./build.sh package runs it)
#
# writes kelvor2_<version>_<arch>.deb and kelvor2-<version>-Linux.tar.gz into
# <build>/packages/. The .deb installs under /usr; the tarball unpacks into one
# folder holding bin/ and share/, to be copied under a prefix such as ~/.local.

set(KELVOR_PACKAGE_NAME kelvor2)
# The documentation folder is the package's, as Debian wants it, for every
# install, so that cmake --install and the package agree. Like GNUInstallDirs'
# own default, it gives way to a CMAKE_INSTALL_DOCDIR set on the command line.
if(NOT CMAKE_INSTALL_DOCDIR)
    set(CMAKE_INSTALL_DOCDIR share/doc/${KELVOR_PACKAGE_NAME})
endif()

set(CPACK_PACKAGE_NAME ${KELVOR_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KELVOR 2 developers")
# The project has no mailbox yet; .invalid (RFC 2606) says so rather than
# borrowing an address that someone else may read.
set(CPACK_PACKAGE_CONTACT "KELVOR 2 developers <kelvor2@kelvor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dot-matrix glyph editor that gives the bytes in hexadecimal")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A small desktop tool for firmware developers: draw a character or a small\n"
    "bitmap on a grid of 3 to 16 by 3 to 16 cells, read one hexadecimal value per\n"
    "column or per row, and collect the bytes, with a prefix and a delimiter of\n"
    "your choice, as lines of text for your source code.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Packaging needs only what is installed, so cpack does not build the tests
# and benchmarks first (nor does "make install"; cmake --install never did).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# Per generator: the tarball's files sit below its top folder, not below usr/.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/packaging-generator.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt libraries bring the X11 platform plugin; Wayland's comes apart.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
