# The Debian package (scripts/package runs cpack). Its dependencies are worked out by
# dpkg-shlibdeps from the libraries the program and the engine link; only what Qt loads at run
# time, and so no link shows, is named here: the platform plugins that draw the windows.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qor-converter)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Qor Converter")
set(CPACK_PACKAGE_CONTACT "Qor Converter <support@qorconverter.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "video converter for portable players")
set(CPACK_PACKAGE_DESCRIPTION
    "Converts videos into files that mobile phones (3GP, 3G2), the PSP, the iPod, Pocket PC
PDAs and other MP4 players can play: a list of clips with a preview, start and end points,
output profiles and custom profiles, converted one file after another.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.qorconverter.com/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The engine library is the package's own: dpkg-shlibdeps finds it there, not in a package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
