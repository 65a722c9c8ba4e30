# What `cmake --install` puts where, and the packages CPack makes of it
# (scripts/package). Only the four programs and what they need: no host
# generators of the cross build, no test programs.
#
# Linux, under the prefix (GNUInstallDirs):
#   bin/                      voxel fir voxel-render fir-bench
#   share/kelvane-demos/      heightd2.bmp heightc2.bmp clouds.bmp
#   share/applications/       <app id>.voxel.desktop <app id>.fir.desktop
#   share/icons/hicolor/NxN/apps/<app id>.voxel.png <app id>.fir.png
#                             (256, 128, 48)
#   share/metainfo/           <app id>.metainfo.xml
#   share/man/man6/           voxel.6.gz fir.6.gz
#   share/man/man1/           voxel-render.1.gz fir-bench.1.gz
#   share/doc/kelvane-demos/  README.md LICENSE copyright changelog.gz, and
#                             docs/ with the pages and pictures it links to
# The programs find the data as ../share/kelvane-demos from bin/, so the
# installation works under any prefix. CPack's DEB generator makes the .deb.
#
# Windows (the cross build), CPack's ZIP generator: one folder with the four
# programs, the data files beside them, README.txt, LICENSE.txt and docs/.

include(GNUInstallDirs)

set(DEMOS_APP_ID org.example.kelvane_demos)
set(DEMOS_MAINTAINER "Kelvane demos authors <kelvane-demos@example.org>")
set(demos_package kelvane-demos)
set(packaging_src ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
set(demos_data ${CMAKE_BINARY_DIR}/data/heightd2.bmp ${CMAKE_BINARY_DIR}/data/heightc2.bmp
  ${CMAKE_BINARY_DIR}/data/clouds.bmp)

# The documentation pages and their pictures, installed as docs/ beside the
# README so that its links (and theirs) hold in the installed folder.
file(GLOB demos_doc_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.png)
# the browser page's screenshots, in a folder of their own
file(GLOB demos_web_doc_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/web/*.png)

set(demos_programs "")
foreach(program voxel fir voxel-render fir-bench)
  if(TARGET ${program})
    list(APPEND demos_programs ${program})
  endif()
endforeach()

set(CPACK_PACKAGE_NAME ${demos_package})
set(CPACK_PACKAGE_VENDOR "the Kelvane demos authors")
set(CPACK_PACKAGE_CONTACT "${DEMOS_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "terrain fly-over and FIR filter, scalar against SSE")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  install(TARGETS ${demos_programs} RUNTIME DESTINATION .)
  install(FILES ${demos_data} DESTINATION .)
  configure_file(${packaging_src}/windows-readme.txt.in ${packaging_out}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${packaging_out}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${packaging_out}/README.txt ${packaging_out}/LICENSE.txt DESTINATION .)
  install(FILES ${demos_doc_files} DESTINATION docs)
  install(FILES ${demos_web_doc_pictures} DESTINATION docs/web)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${demos_package}-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

install(TARGETS ${demos_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${demos_data} DESTINATION ${CMAKE_INSTALL_DATADIR}/${demos_package})

# menu entries and AppStream metadata, named by the application id
foreach(program voxel fir)
  configure_file(${packaging_src}/${program}.desktop.in ${packaging_out}/${DEMOS_APP_ID}.${program}.desktop @ONLY)
  install(FILES ${packaging_out}/${DEMOS_APP_ID}.${program}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endforeach()
configure_file(${packaging_src}/metainfo.xml.in ${packaging_out}/${DEMOS_APP_ID}.metainfo.xml @ONLY)
install(FILES ${packaging_out}/${DEMOS_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# the icons make_icon (tools/landscape) draws at build time, one per menu entry
foreach(program voxel fir)
  foreach(size 256 128 48)
    install(FILES ${CMAKE_BINARY_DIR}/icons/${program}-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME ${DEMOS_APP_ID}.${program}.png)
  endforeach()
endforeach()

# manual pages and the change log, compressed as Debian keeps them
set(compressed "")
foreach(page voxel.6 fir.6 voxel-render.1 fir-bench.1)
  configure_file(${packaging_src}/man/${page}.in ${packaging_out}/${page} @ONLY)
  list(APPEND compressed ${page})
endforeach()
configure_file(${packaging_src}/changelog.in ${packaging_out}/changelog @ONLY)
list(APPEND compressed changelog)
set(compressed_files "")
foreach(file IN LISTS compressed)
  add_custom_command(
    OUTPUT ${packaging_out}/${file}.gz
    COMMAND gzip -9 -n -k -f ${file}
    DEPENDS ${packaging_out}/${file}
    WORKING_DIRECTORY ${packaging_out})
  list(APPEND compressed_files ${packaging_out}/${file}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed_files})
foreach(page voxel.6 fir.6 voxel-render.1 fir-bench.1)
  string(REGEX REPLACE ".*\\." "" section ${page})
  install(FILES ${packaging_out}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

install(FILES README.md LICENSE ${packaging_src}/copyright ${packaging_out}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${demos_package})
install(FILES ${demos_doc_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${demos_package}/docs)
install(FILES ${demos_web_doc_pictures} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${demos_package}/docs/web)

# The .deb: libraries found by dpkg-shlibdeps, and the fonts the message
# boxes draw their text in. fir-bench opens the peer libraries at run time
# where they are installed and links neither, so the dependencies are the
# same whatever the build machine has; the package only suggests them.
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libliquid1, libvolk2.5")
# On Wayland the title bars of the window and the boxes are drawn by a
# libdecor plugin; without one the windows have none.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libdecor-0-plugin-1-cairo")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION
  "Two small programs that show how much faster a computation runs on the
processor's 128-bit vector unit (SSE, four single-precision numbers at a
time) than in ordinary scalar floating point:
voxel, a terrain fly-over drawn first with a scalar, then with a four-lane
renderer, its window title showing the frame rate; and fir, a 16-tap FIR
filter timed both ways, its results in a message box. voxel-render and
fir-bench give the exact figures without a display.")
include(CPack)
