# Installation and the Debian package. The program folder's data is installed once under
# share/kemnoa in the layout of a program folder (bitmaps in BMP/, layouts and workbook templates at
# its top); an installed program copies it into each workstation's own folder on first use.
include(GNUInstallDirs)

set(kemnoa_programs kemnoa kemnoa-cli)
if(TARGET kemnoa-label)
  list(APPEND kemnoa_programs kemnoa-label)
endif()
install(TARGETS ${kemnoa_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(kemnoa_data_dir ${CMAKE_INSTALL_DATADIR}/kemnoa)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/BMP DESTINATION ${kemnoa_data_dir})
file(GLOB kemnoa_layouts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/layouts/*.layout)
file(GLOB kemnoa_templates CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/templates/*.xlsx)
install(FILES ${kemnoa_layouts} ${kemnoa_templates} DESTINATION ${kemnoa_data_dir})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kemnoa.ini.example DESTINATION ${kemnoa_data_dir})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/kemnoa.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kemnoa.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/admin.md
              ${PROJECT_SOURCE_DIR}/sql/postgresql/workstation-grants.sql
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack -G DEB (in the build folder) makes kemnoa_<version>_<arch>.deb from the rules above.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kemnoa)
set(CPACK_PACKAGE_VENDOR kemnoa)
set(CPACK_PACKAGE_CONTACT "kemnoa maintainers <kemnoa@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Order office of a garment-label maker: desktop program and job runner")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded or started at run time, so dpkg-shlibdeps cannot see them: the database drivers and the
# fonts of the printed documents; Qt's own Japanese texts and the printing tools are recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libqt6sql6-odbc, cups-client")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
include(CPack)
