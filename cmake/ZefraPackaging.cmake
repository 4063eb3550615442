# `make package`: a Debian package of the programs and their data, built with CPack.
# The file is named zefra_<version>_<arch>.deb; its Depends line is computed from the
# libraries the installed binaries link (dpkg-shlibdeps), so it follows the build machine.
include(GNUInstallDirs)

# Debian policy files: the changelog and copyright notice every package carries.
set(zefra_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/zefra)
set(zefra_changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
string(TIMESTAMP zefra_package_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  "zefra (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
  "  * Package built from the project's own sources with CPack.\n\n"
  " -- Zefra developers <zefra@example.org>  ${zefra_package_date}\n")
add_custom_command(OUTPUT ${zefra_changelog}
  COMMAND gzip -9nf -k ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(zefra_package_docs DEPENDS ${zefra_changelog})
add_dependencies(zefra_programs zefra_package_docs)
install(FILES ${zefra_changelog} DESTINATION ${zefra_doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian-copyright DESTINATION ${zefra_doc_dir} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zefra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zefra developers")
set(CPACK_PACKAGE_CONTACT "Zefra developers <zefra@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for animated GIF banners")
# The first line of the Description field is the summary above; this is the rest.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Zefra designs animated GIF banners of 1 to 127 frames. Each frame is drawn\n"
  "from a background colour, a two-colour gradient, a bevelled border, shapes,\n"
  "pictures and anti-aliased extruded 3D text, and the frames are exported as\n"
  "one optimised animated GIF by Zefra's own GIF encoder.\n"
  "\n"
  "The package contains the Qt 6 editor (zefra), the command-line tool\n"
  "zefra-cli that exports, renders and inspects projects without a window,\n"
  "sample projects, textures and the help pages.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs load FreeType and fontconfig when they first draw text (dlopen), so the
# computed line cannot see them; CPack adds these to it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfreetype6, libfontconfig1")
# Text layers name their faces; these are the ones the sample projects use.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY zefra)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
