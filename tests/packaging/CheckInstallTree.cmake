# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# Installs the build into a fresh prefix and checks the tree a desktop expects, then runs the
# desktop's own validators on the menu entry and the AppStream metadata, and checks the
# metadata's licence and release.
# Called as: cmake -DBUILD_DIR=... -DPREFIX=... -P CheckInstallTree.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(id org.velquist.Velquist)
foreach(path
    bin/velquist
    bin/velquist-cli
    share/applications/${id}.desktop
    share/metainfo/${id}.metainfo.xml
    share/icons/hicolor/scalable/apps/${id}.svg
    share/icons/hicolor/48x48/apps/${id}.png
    share/icons/hicolor/256x256/apps/${id}.png
    share/man/man1/velquist.1.gz
    share/man/man1/velquist-cli.1.gz
    share/bash-completion/completions/velquist-cli
    share/doc/velquist/copyright
    share/doc/velquist/changelog.gz
    share/doc/velquist/screenshot-main-window.png
    share/doc/velquist-cli/copyright
    share/doc/velquist-cli/changelog.gz)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "missing from the install tree: ${path}")
  endif()
endforeach()

file(STRINGS "${PREFIX}/share/applications/${id}.desktop" entry)
foreach(line "Exec=velquist %f" "Icon=${id}" "Terminal=false" "MimeType=image/bmp;image/png;")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "the menu entry lacks '${line}'")
  endif()
endforeach()

execute_process(COMMAND desktop-file-validate "${PREFIX}/share/applications/${id}.desktop"
                RESULT_VARIABLE desktop_ok)
execute_process(COMMAND appstreamcli validate --no-net "${PREFIX}/share/metainfo/${id}.metainfo.xml"
                RESULT_VARIABLE appstream_ok)
if(NOT desktop_ok EQUAL 0 OR NOT appstream_ok EQUAL 0)
  message(FATAL_ERROR "desktop-file-validate: ${desktop_ok}, appstreamcli: ${appstream_ok}")
endif()

file(READ "${PREFIX}/share/metainfo/${id}.metainfo.xml" metainfo)
foreach(part "<project_license>GPL-3.0-or-later</project_license>"
             "<release version=\"${EXPECTED_VERSION}\" date=\"2026-12-09\">"
             "<mediatype>image/png</mediatype>"
             "<content_rating type=\"oars-1.1\"/>")
  string(FIND "${metainfo}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the AppStream metadata lacks ${part}")
  endif()
endforeach()

execute_process(COMMAND "${PREFIX}/bin/velquist-cli" --version OUTPUT_VARIABLE version)
if(NOT version MATCHES "${EXPECTED_VERSION}")
  message(FATAL_ERROR "installed velquist-cli reports '${version}', expected ${EXPECTED_VERSION}")
endif()
