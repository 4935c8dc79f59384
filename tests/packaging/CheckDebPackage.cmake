# Builds the Debian package into a scratch directory, reads its control fields and contents and
# has lintian check it: any error or warning fails, pedantic and informational tags are shown.
# Inputs: CPACK, DPKG_DEB, LINTIAN, CPACK_CONFIG, WORK_DIR, APP_ID, VERSION.

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(
  COMMAND "${CPACK}" -G DEB --config "${CPACK_CONFIG}" -B "${WORK_DIR}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${result}):\n${output}")
endif()
file(GLOB debs "${WORK_DIR}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${WORK_DIR}, found ${count}:\n${output}")
endif()
get_filename_component(deb_name "${debs}" NAME)
if(NOT deb_name MATCHES "^quorrin_${VERSION}_[a-z0-9]+\\.deb$")
  message(FATAL_ERROR "unexpected package file name ${deb_name}")
endif()

function(control_field name out)
  execute_process(COMMAND "${DPKG_DEB}" -f "${debs}" ${name}
                  RESULT_VARIABLE result OUTPUT_VARIABLE value ERROR_VARIABLE error
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -f ${name} failed: ${error}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

control_field(Package package)
control_field(Version version)
control_field(Depends depends)
message(STATUS "Depends: ${depends}")
if(NOT package STREQUAL "quorrin")
  message(FATAL_ERROR "Package is '${package}'")
endif()
if(NOT version STREQUAL VERSION)
  message(FATAL_ERROR "Version is '${version}', expected ${VERSION}")
endif()
# dpkg-shlibdeps must have found the C library and Qt's widget library behind the binary.
if(NOT depends MATCHES "(^|, )libc6( |,|$)" OR NOT depends MATCHES "(^|, )libqt6widgets6")
  message(FATAL_ERROR "Depends lacks libc6 or libqt6widgets6: '${depends}'")
endif()

execute_process(COMMAND "${DPKG_DEB}" -c "${debs}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed")
endif()
foreach(path usr/bin/quorrin
             usr/share/applications/${APP_ID}.desktop
             usr/share/metainfo/${APP_ID}.metainfo.xml
             usr/share/icons/hicolor/16x16/apps/${APP_ID}.png
             usr/share/icons/hicolor/256x256/apps/${APP_ID}.png)
  string(FIND "${listing}" " ./${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${path} is not in the package:\n${listing}")
  endif()
endforeach()

execute_process(
  COMMAND "${LINTIAN}" --fail-on error,warning --pedantic --display-info --tag-display-limit 0
          "${debs}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian failed (${result}):\n${output}")
endif()
message(STATUS "lintian:\n${output}")
file(REMOVE_RECURSE "${WORK_DIR}")
