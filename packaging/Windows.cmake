# The version record and icon group inside quorrin.exe, and its installer:
# cd <build dir> && cpack  ->  quorrin-1.0.0.0-win64.exe
target_sources(quorrin PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/quorrin.rc)

install(TARGETS quorrin RUNTIME DESTINATION .)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Quorrin)
set(CPACK_PACKAGE_VENDOR "Quorrin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Random discharge directions causing river systems")
set(CPACK_PACKAGE_FILE_NAME quorrin-${PROJECT_VERSION}-win64)
# Program Files\Quorrin, and the uninstaller registered under that name.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quorrin)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quorrin)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME Quorrin)
set(CPACK_NSIS_PACKAGE_NAME Quorrin)
set(CPACK_NSIS_INSTALLED_ICON_NAME quorrin.exe)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/quorrin.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/quorrin.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start menu shortcut: quorrin.exe as "Quorrin", at the top of the installation (CPack looks
# for it in bin\ unless told).
set(CPACK_PACKAGE_EXECUTABLES quorrin Quorrin)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
endif()
# A 64-bit installer, like the program: NSIS's amd64 stubs and plugins.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
include(CPack)
