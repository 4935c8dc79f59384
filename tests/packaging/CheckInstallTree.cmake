# Installs the build tree into a scratch DESTDIR under prefix /usr and compares the result with
# the files a Debian package or distribution needs, nothing more and nothing less.
# Inputs: BUILD_DIR, WORK_DIR, PACKAGING_DIR, APP_ID, ICON_SIZES (comma separated).

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${WORK_DIR}"
          ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(expected
  usr/bin/quorrin
  usr/share/doc/quorrin/changelog.gz
  usr/share/doc/quorrin/copyright
  usr/share/man/man1/quorrin.1.gz
  usr/share/applications/${APP_ID}.desktop
  usr/share/metainfo/${APP_ID}.metainfo.xml)
# Installed copy -> source it must be identical to.
set(copies
  "usr/share/applications/${APP_ID}.desktop=${APP_ID}.desktop"
  "usr/share/metainfo/${APP_ID}.metainfo.xml=${APP_ID}.metainfo.xml")
string(REPLACE "," ";" ICON_SIZES "${ICON_SIZES}")
foreach(size IN LISTS ICON_SIZES)
  set(icon usr/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  list(APPEND expected ${icon})
  list(APPEND copies "${icon}=icons/quorrin-${size}.png")
endforeach()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${installed})
  set(extra ${installed})
  list(REMOVE_ITEM extra ${expected})
  string(REPLACE ";" "\n  " missing "${missing}")
  string(REPLACE ";" "\n  " extra "${extra}")
  message(FATAL_ERROR "installed files differ from the expected list\nmissing:\n  ${missing}\n"
                      "unexpected:\n  ${extra}")
endif()

execute_process(COMMAND test -x "${WORK_DIR}/usr/bin/quorrin" RESULT_VARIABLE not_executable)
if(NOT not_executable EQUAL 0)
  message(FATAL_ERROR "usr/bin/quorrin is not executable")
endif()

foreach(pair IN LISTS copies)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 installed_file)
  list(GET pair 1 source_file)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                          "${WORK_DIR}/${installed_file}" "${PACKAGING_DIR}/${source_file}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${installed_file} is not a copy of packaging/${source_file}")
  endif()
endforeach()

list(LENGTH installed count)
message(STATUS "${count} files installed as expected")
file(REMOVE_RECURSE "${WORK_DIR}")
