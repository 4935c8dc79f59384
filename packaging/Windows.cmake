# The version record and icon group inside quorrin.exe, and its two installers:
# cd <build dir> && cpack  ->  quorrin-<version>-win64.exe (NSIS) and quorrin-<version>-win64.msi
target_sources(quorrin PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/quorrin.rc)
# The version record's numbers (1,0,0,0) and strings ("1.00") are the project's version.
string(REPLACE "." "," _version_numbers "${PROJECT_VERSION}")
set_source_files_properties(quorrin.rc TARGET_DIRECTORY quorrin PROPERTIES COMPILE_DEFINITIONS
  "QUORRIN_VERSION=${_version_numbers};QUORRIN_DISPLAY_VERSION=${QUORRIN_DISPLAY_VERSION}")

install(TARGETS quorrin RUNTIME DESTINATION .)

find_program(QUORRIN_WIXL wixl REQUIRED)

# The MSI is made by wixl, run by the External generator on the staged installation.
set(CPACK_GENERATOR NSIS External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/windows/msi.cmake)
set(CPACK_QUORRIN_WIXL ${QUORRIN_WIXL})
set(CPACK_PACKAGE_NAME Quorrin)
set(CPACK_PACKAGE_VENDOR "Quorrin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME quorrin-${PROJECT_VERSION}-win64)
# Program Files\Quorrin, and the uninstaller registered under that name.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quorrin)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quorrin)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME Quorrin)
set(CPACK_NSIS_PACKAGE_NAME Quorrin)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/quorrin.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/quorrin.ico)
set(CPACK_QUORRIN_DISPLAY_VERSION ${QUORRIN_DISPLAY_VERSION})
# The installer's script is our own (windows/NSIS.template.in): one program, one shortcut, no
# components or PATH editing.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/windows)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# A 64-bit installer, like the program: NSIS's amd64 stubs and plugins.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
include(CPack)
