# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the two programs with their desktop integration, manuals and documentation, in two
# components that become two Debian packages: "window" (velquist, needs Qt) and "cli"
# (velquist-cli, without Qt).
include(GNUInstallDirs)

set(VELQUIST_APP_ID org.velquist.Velquist)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(staged ${CMAKE_BINARY_DIR}/packaging)

# AppStream takes screenshots only as web addresses, and the project publishes none: whoever
# publishes packaging/screenshot-main-window.png gives its address here, and the metainfo then
# lists it as the default screenshot.
set(VELQUIST_SCREENSHOT_URL "" CACHE STRING
    "Web address of packaging/screenshot-main-window.png, listed in the AppStream metainfo")
if(VELQUIST_SCREENSHOT_URL)
  set(VELQUIST_SCREENSHOTS
      "  <screenshots>\n    <screenshot type=\"default\">\n      <caption>The main window</caption>\n      <image>${VELQUIST_SCREENSHOT_URL}</image>\n    </screenshot>\n  </screenshots>\n")
else()
  set(VELQUIST_SCREENSHOTS "")
endif()

install(TARGETS velquist RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
install(TARGETS velquist-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)

install(FILES ${packaging}/${VELQUIST_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
configure_file(${packaging}/${VELQUIST_APP_ID}.metainfo.xml ${staged}/${VELQUIST_APP_ID}.metainfo.xml
               @ONLY)
install(FILES ${staged}/${VELQUIST_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT window)
install(FILES ${packaging}/velquist.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${VELQUIST_APP_ID}.svg COMPONENT window)
foreach(size 48 256)
  install(FILES ${packaging}/velquist-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${VELQUIST_APP_ID}.png COMPONENT window)
endforeach()

install(FILES ${packaging}/velquist-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME velquist-cli COMPONENT cli)

# Manuals and changelogs are installed compressed, reproducibly (no name, no time stamp).
function(velquist_gzip source target)
  add_custom_command(OUTPUT ${target}.gz
    COMMAND gzip -9n -c ${source} > ${target}.gz
    DEPENDS ${source} VERBATIM)
endfunction()

set(compressed)
foreach(page velquist velquist-cli)
  configure_file(${packaging}/${page}.1 ${staged}/${page}.1 @ONLY)
  velquist_gzip(${staged}/${page}.1 ${staged}/${page}.1)
  list(APPEND compressed ${staged}/${page}.1.gz)
endforeach()
configure_file(${packaging}/changelog.in ${staged}/changelog @ONLY)
velquist_gzip(${staged}/changelog ${staged}/changelog)
list(APPEND compressed ${staged}/changelog.gz)
add_custom_target(velquist_compressed_docs ALL DEPENDS ${compressed})

install(FILES ${staged}/velquist.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT window)
install(FILES ${staged}/velquist-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)

# Each package carries its own copyright and changelog, as Debian requires; the window's
# package also carries the screenshot its metainfo can point at.
foreach(component window cli)
  if(component STREQUAL window)
    set(package velquist)
  else()
    set(package velquist-cli)
  endif()
  install(FILES ${packaging}/copyright ${staged}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()
install(FILES ${packaging}/screenshot-main-window.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velquist COMPONENT window)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velquist)
set(CPACK_PACKAGE_VENDOR "The Velquist developers")
set(CPACK_PACKAGE_CONTACT "The Velquist developers <maintainers@velquist.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL window cli)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME velquist)
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "velquist-cli, fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_COMPONENT_WINDOW_DESCRIPTION
"hide a file inside a BMP picture and take it out again (window)
Velquist hides one file inside a 24-bit uncompressed BMP picture and takes
it out again. The picture is changed in place: it keeps its length and still
displays, and carries the file in the lowest bits of its pixel bytes. A
password of up to eight characters either encrypts and authenticates the
hidden file, or, in the older carrier format, guards it.

This package holds the window, whose texts are Simplified Chinese: choose or
drop a picture and a file, hide, and extract into an output folder. It opens
a picture handed to it by the desktop's menu or file manager.")

set(CPACK_DEBIAN_CLI_PACKAGE_NAME velquist-cli)
set(CPACK_COMPONENT_CLI_DESCRIPTION
"hide a file inside a BMP picture and take it out again (command line)
Velquist hides one file inside a 24-bit uncompressed BMP picture and takes
it out again. The picture is changed in place: it keeps its length and still
displays, and carries the file in the lowest bits of its pixel bytes.

This package holds velquist-cli, which inspects, hides, extracts and wipes
from a terminal or a script, on the same pictures and with the same checks
as the window, without needing Qt. It reports in English or Simplified
Chinese after the locale, prints JSON for scripts, reads passwords from the
terminal or standard input, and comes with bash completion.")
include(CPack)
