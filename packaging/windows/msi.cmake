# Run by cpack's External generator: the Windows Installer package, quorrin-<version>-win64.msi,
# made by wixl from quorrin.wxs and the staged installation (where wixl looks for quorrin.exe).
set(_msi ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
file(RELATIVE_PATH _icon ${CPACK_TEMPORARY_DIRECTORY} ${CPACK_NSIS_MUI_ICON})
execute_process(
  COMMAND ${CPACK_QUORRIN_WIXL} --arch x64 -D Version=${CPACK_PACKAGE_VERSION}
          -D DisplayVersion=${CPACK_QUORRIN_DISPLAY_VERSION} -D IconFile=${_icon}
          -o ${_msi} ${CMAKE_CURRENT_LIST_DIR}/quorrin.wxs
  WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}
  COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${_msi})
