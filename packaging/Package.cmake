# The Debian package (./package): the installed game (app/ installs the program, its data, the
# desktop entry, the icons and its manual page), the two tools beside it with their manual pages,
# the AppStream metainfo and the documents every package carries, put together by CPack's
# Debian generator. Dependencies come from the binaries through dpkg-shlibdeps.
include(GNUInstallDirs)

# The version is the latest entry of the changelog, as for any Debian package.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog ORBITA_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT ORBITA_CHANGELOG_TOP MATCHES "^orbita \\(([^)]+)\\)")
  message(FATAL_ERROR "packaging/changelog: the first line names no version")
endif()
set(ORBITA_VERSION ${CMAKE_MATCH_1})

install(TARGETS orbita-dxg orbita-assets RUNTIME DESTINATION games)
install(FILES ${CMAKE_SOURCE_DIR}/tools/dxg/orbita-dxg.6 ${CMAKE_SOURCE_DIR}/tools/assets/orbita-assets.6
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.orbita.Orbita.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_CURRENT_LIST_DIR}/changelog
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/orbita)

set(ORBITA_PACKAGE_MAINTAINER "Orbita developers <orbita@orbita.invalid>" CACHE STRING
    "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbita)
set(CPACK_PACKAGE_VERSION ${ORBITA_VERSION})
set(CPACK_PACKAGE_CONTACT ${ORBITA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The canvas text is drawn with DejaVu Sans, read from the system's fonts at run time: a data
# package no binary links against, so dpkg-shlibdeps cannot find it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scrolling arcade space shooter")
# CPack puts the summary first and indents the paragraphs below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orbita is a single-player arcade space shooter at 640x480 pixels in 16-bit
colour, one frame every 25 ms: eight scrolling levels, weapons that grow with
every capsule shot, a force pod, alien waves and a story told in Czech.

The package also holds orbita-dxg, which inspects, extracts and packs the
game's collection files, and orbita-assets, which draws the game's pictures
and makes its sounds.")
set(CPACK_STRIP_FILES ON)
# Manual pages and the changelog are compressed in the staging tree (gzip -9n), as Debian does.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/Compress.cmake)
include(CPack)
