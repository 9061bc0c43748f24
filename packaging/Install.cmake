# Installs the two programs and the desktop integration, and describes the Debian package.
include(GNUInstallDirs)

set(VELQUIST_APP_ID org.velquist.Velquist)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS velquist velquist-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging}/${VELQUIST_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${packaging}/${VELQUIST_APP_ID}.metainfo.xml
               ${CMAKE_BINARY_DIR}/packaging/${VELQUIST_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${VELQUIST_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/velquist.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${VELQUIST_APP_ID}.svg)
foreach(size 48 256)
  install(FILES ${packaging}/velquist-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${VELQUIST_APP_ID}.png)
endforeach()
configure_file(${packaging}/velquist-cli.1 ${CMAKE_BINARY_DIR}/packaging/velquist-cli.1 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/velquist-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velquist)
set(CPACK_PACKAGE_VENDOR "The Velquist developers")
set(CPACK_PACKAGE_CONTACT "The Velquist developers <maintainers@velquist.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hide a file inside a 24-bit BMP picture and take it out again")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velquist.example.org")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
