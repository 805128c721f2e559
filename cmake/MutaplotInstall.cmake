# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local      (or DESTDIR=... for staging)
#   cd build && cpack -G DEB                        -> mutaplot_<version>_<arch>.deb
#
# bin/ gets both programs, share/mutaplot the data files they look up in
# ../share/mutaplot (the default settings, fast.apt, the DXF templates, the
# help files, the samples); the desktop entry, icons, MIME types and manual
# pages go where the desktop and man expect them.
include(GNUInstallDirs)

set(MUTAPLOT_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

if(MUTAPLOT_GUI)
  install(TARGETS mutaplot mutaplot-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/mutaplot
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${MUTAPLOT_PACKAGING_DIR}/mutaplot.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MUTAPLOT_PACKAGING_DIR}/mutaplot-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME mutaplot.xml)
install(FILES ${MUTAPLOT_PACKAGING_DIR}/icons/mutaplot.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${MUTAPLOT_PACKAGING_DIR}/icons/mutaplot-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME mutaplot.png)
endforeach()
install(FILES ${MUTAPLOT_PACKAGING_DIR}/man/mutaplot.1 ${MUTAPLOT_PACKAGING_DIR}/man/mutaplot-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mutaplot)

# The Debian package. Library dependencies come from dpkg-shlibdeps; what the
# programs load at run time without linking it is named here: Qt's platform
# plugins (the window needs xcb), and, recommended, Qt's Japanese
# translations and a Japanese font for the Japanese captions.
set(CPACK_PACKAGE_NAME mutaplot)
set(CPACK_PACKAGE_VENDOR "Mutaplot")
set(CPACK_PACKAGE_CONTACT "Mutaplot maintainers <mutaplot@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Gerber photoplotter data converter and viewer (Japanese user interface)")
set(CPACK_PACKAGE_DESCRIPTION
    "Mutaplot converts Gerber photoplotter files (RS-274-D, RS-274X format\nstatements) between coordinate formats and file layouts, draws them in its\nviewer with an editable aperture list, prints them and exports DXF.\nmutaplot-cli runs the same operations in batch.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gerbv")
set(CPACK_GENERATOR DEB)
include(CPack)
