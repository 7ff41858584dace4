# The Debian package: the program under /usr as a system-wide installation expects it. Its
# files form the component "system", left out of a plain `cmake --install`, which keeps laying
# the portable folder (program, help page and data together); CPack installs only this
# component. Build it with scripts/package.
find_program(VARNIX_RSVG_CONVERT rsvg-convert)
find_program(VARNIX_GZIP gzip)
if(NOT VARNIX_RSVG_CONVERT OR NOT VARNIX_GZIP)
  message(STATUS "rsvg-convert or gzip missing: no Debian package (scripts/install-deps)")
  return()
endif()

set(varnix_package_source "${CMAKE_SOURCE_DIR}/resources/package")
set(varnix_package_build "${CMAKE_BINARY_DIR}/package")
set(varnix_program_files "${CMAKE_SOURCE_DIR}/resources/defaults/program")
set(system COMPONENT system EXCLUDE_FROM_ALL)

# Pages that carry the version, and the gzip -9n copies that Debian wants (no name, no time
# stamp: the same sources give the same bytes).
set(varnix_package_outputs)
foreach(name IN ITEMS varnix.1 varnix-cli.1 changelog.Debian)
  configure_file("${varnix_package_source}/${name}" "${varnix_package_build}/${name}" @ONLY)
  add_custom_command(OUTPUT "${varnix_package_build}/${name}.gz"
    COMMAND "${VARNIX_GZIP}" -9nf "${varnix_package_build}/${name}"
            -c > "${varnix_package_build}/${name}.gz"
    DEPENDS "${varnix_package_build}/${name}" VERBATIM)
  list(APPEND varnix_package_outputs "${varnix_package_build}/${name}.gz")
endforeach()
configure_file("${varnix_package_source}/org.example.varnix.metainfo.xml"
               "${varnix_package_build}/org.example.varnix.metainfo.xml" @ONLY)

# The theme's bitmap sizes, drawn from the one scalable icon.
set(varnix_icon_sizes 48 128 256)
foreach(size IN LISTS varnix_icon_sizes)
  set(png "${varnix_package_build}/icons/${size}/varnix.png")
  add_custom_command(OUTPUT "${png}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${varnix_package_build}/icons/${size}"
    COMMAND "${VARNIX_RSVG_CONVERT}" -w ${size} -h ${size} -o "${png}"
            "${varnix_program_files}/varnix.svg"
    DEPENDS "${varnix_program_files}/varnix.svg" VERBATIM)
  list(APPEND varnix_package_outputs "${png}")
  install(FILES "${png}" DESTINATION share/icons/hicolor/${size}x${size}/apps ${system})
endforeach()
add_custom_target(varnix_package_files ALL DEPENDS ${varnix_package_outputs})

install(TARGETS varnix RUNTIME DESTINATION bin ${system})
# The charts and the printer, loaded by the program on first use from ../lib/varnix/plugins.
install(TARGETS varnix_charts LIBRARY DESTINATION lib/varnix/plugins ${system})
install(FILES "${varnix_package_build}/varnix.1.gz" DESTINATION share/man/man1 ${system})
if(TARGET varnix-cli)
  install(TARGETS varnix-cli RUNTIME DESTINATION bin ${system})
  install(FILES "${varnix_package_build}/varnix-cli.1.gz" DESTINATION share/man/man1 ${system})
endif()
install(FILES "${varnix_package_source}/varnix.desktop" DESTINATION share/applications ${system})
install(FILES "${varnix_program_files}/varnix.svg"
        DESTINATION share/icons/hicolor/scalable/apps ${system})
install(FILES "${varnix_package_build}/org.example.varnix.metainfo.xml"
        DESTINATION share/metainfo ${system})
# The program's own files, and what a person's first start lays in their data folder.
install(FILES "${varnix_program_files}/readme.htm" "${varnix_program_files}/varnix.png"
              "${varnix_program_files}/varnix.svg"
        DESTINATION share/varnix ${system})
install(DIRECTORY "${CMAKE_SOURCE_DIR}/resources/defaults/data/"
        DESTINATION share/varnix/defaults ${system} PATTERN ".gitattributes" EXCLUDE)
install(FILES "${varnix_package_source}/copyright" "${varnix_package_build}/changelog.Debian.gz"
        DESTINATION share/doc/varnix ${system})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnix)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Varnix 開發小組 <varnix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "household account book with a Traditional-Chinese interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnix keeps double-entry books for a household: a chart of accounts, a ledger\n"
    "with a running balance, a journal with CSV and plain-text export, a balance\n"
    "sheet and an income statement. Several users share one computer, each with a\n"
    "password and books of their own, and every person's data lives in their home.\n"
    "The data files are byte-compatible with the established Windows format.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Varnix;system;/")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://varnix.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The CJK font the windows are drawn in, and Qt's display plugins, which no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
