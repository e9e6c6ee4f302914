# `make deb`: a Debian package of what `cmake --install` puts in place, under /usr. The
# libraries it needs are read from the binary by dpkg-shlibdeps; the rest is what the
# binary loads at run time, which no linker sees.
include(GNUInstallDirs)

set(KIVO_PACKAGE_MAINTAINER "The Kivo developers <kivo-capture@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

# Debian wants the licence as a machine-readable copyright file and a changelog, both in
# the package's documentation folder.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
set(source_field "")
if(KIVO_HOME_PAGE)
  set(source_field "Source: ${KIVO_HOME_PAGE}\n")
endif()
string(REGEX REPLACE "^.*Copyright \\(c\\) ([^\n]*)\n\n" "" terms "${licence}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
set(holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n+$" "" terms "${terms}")
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: Kivo\n${source_field}\n"
     "Files: *\nCopyright: ${holder}\nLicense: Expat\n ${terms}\n")
file(WRITE ${PROJECT_BINARY_DIR}/changelog
     "kivo (${PROJECT_VERSION}) unstable; urgency=medium\n\n  * Release ${PROJECT_VERSION}.\n\n"
     " -- ${KIVO_PACKAGE_MAINTAINER}  Mon, 07 Dec 2026 00:00:00 +0000\n")
add_custom_command(OUTPUT changelog.gz COMMAND gzip -9nc changelog > changelog.gz
                   DEPENDS ${PROJECT_BINARY_DIR}/changelog VERBATIM)
add_custom_target(kivo_changelog ALL DEPENDS changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivo)
set(CPACK_PACKAGE_VENDOR "The Kivo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen capture and annotation tool")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kivo freezes the screen, lets you select an area of it with the mouse and
marks it up with rectangles, ellipses, arrows and text before you copy it to
the clipboard or save it as a PNG, JPEG, BMP, GIF or TIFF file. It waits in
the system tray; the command kivo gui opens a capture from a key binding.
Its interface is in Simplified Chinese.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KIVO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(KIVO_HOME_PAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KIVO_HOME_PAGE})
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Chinese texts, the TIFF writer plugin and a font with Chinese glyphs; and the very
# Qt release it was built with, because it empties Qt's font cache (a private interface).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, qt6-image-formats-plugins, fonts-noto-cjk, qt6-base-abi (= ${Qt6Gui_VERSION})")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
