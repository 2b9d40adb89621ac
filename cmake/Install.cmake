# Installation (both programs, their manual pages, documentation with the worked examples)
# and the Debian package that `make package` builds from the same rules.
include(GNUInstallDirs)

install(TARGETS zelk zelkfile RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/zelk.1 ${PROJECT_SOURCE_DIR}/zelkfile.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The copyright file carries the licence; the changelog is gzipped for the package (below).
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
              ${PROJECT_SOURCE_DIR}/packaging/changelog
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME zelk)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples DESTINATION ${CMAKE_INSTALL_DOCDIR}
        PATTERN "*.received" EXCLUDE PATTERN "generate" EXCLUDE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelk)
# The version of project(), as the programs announce it.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "ZELK developers <developers@zelk.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console data entry for geothermal fluid analyses")
set(CPACK_PACKAGE_DESCRIPTION
    "ZELK asks a geothermal chemist, screen by screen, for the analysis of\n"
    "samples of geothermal fluid: sundry data, the water phase in mg/kg or\n"
    "m-mole/l and the steam-phase gas data in any of nine customary forms.\n"
    "Every screen can be corrected before it is left. Each sample is converted\n"
    "into canonical units and appended as one fixed 34-line block to a text\n"
    "file, the KAVIX input file. Answers may be typed or piped from a file.\n"
    "zelkfile brings a lab's table (CSV) into that file through the same\n"
    "screens, exports the file back to a table, and checks output files.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The staged tree is made as Debian wants it (manual pages and changelog compressed, programs
# fully stripped) before packing.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PrepareDebianTree.cmake)
include(CPack)

# `make uninstall`: removes what the last installation from this build put down.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DZELK_MANIFEST=${PROJECT_BINARY_DIR}/install_manifest.txt
          -DZELK_DOCDIR=${CMAKE_INSTALL_DOCDIR} -P ${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake
  VERBATIM)
