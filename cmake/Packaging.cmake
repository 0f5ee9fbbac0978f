# The Debian package: `cpack -G DEB` in a release build folder makes
# vexo_<version>_<arch>.deb of what `cmake --install` puts in place, under
# /usr. Its dependencies on Debian's packages are read off the programs
# themselves (dpkg-shlibdeps); the SDK stand-ins are the package's own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vexo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Quake 2 models (MD2) and skins from animated, textured meshes")
set(CPACK_PACKAGE_DESCRIPTION
    "vexo hosts the Dorvane plug-in: it imports a scene file (glTF, FBX, COLLADA, OBJ, ...), \
drives the plug-in's panel and writes the model and its skin as BMP and PCX on the game's palette.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Vexo developers")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# MagickCore is loaded when a picture needs it, not linked, so
# dpkg-shlibdeps does not see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libmagickcore-6.q16hdri-6)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/bin ${CMAKE_BINARY_DIR}/bin/release3 ${CMAKE_BINARY_DIR}/bin/release2)
include(CPack)
