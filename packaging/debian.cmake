# The Debian package: `cpack -G DEB` in the build folder makes
# velluno_VERSION_ARCH.deb from the install rules (the programs, the default
# set, the launcher, the MIME type, the AppStream file and the icons), with
# the copyright and changelog Debian wants beside them and the package's
# dependencies found by dpkg-shlibdeps from the programs themselves.
set(VELLUNO_MAINTAINER "Velluno <dev@velluno.org>")

configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
# Compressed without a name or a time in its header, so that the same
# sources make the same package.
execute_process(COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/packaging/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                RESULT_VARIABLE gzipped)
if(NOT gzipped EQUAL 0)
  message(FATAL_ERROR "gzip could not compress the package's changelog")
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velluno)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velluno)
set(CPACK_PACKAGE_VENDOR Ostrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VELLUNO_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the operator skin of the v980 phone")
# CPack puts the summary first and indents every line of this text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velluno opens the operator skin of the v980 phone (a .ski file with its .dat\n"
    "image containers), extracts its graphic objects, shows the phone's idle\n"
    "screen as the phone draws it and lets you replace images, change colours,\n"
    "move screen elements and set the clock, then writes the skin back.\n"
    "\n"
    "velluno-cli does the same from the command line and in batch scripts.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velluno.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The preview's "Arial Narrow" is Liberation Sans Narrow on Debian; Qt finds
# it through fontconfig, not by a library the programs link.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
