# The core (the surface interface, field, streams, the toolkit-free handlers) knows no toolkit and
# no platform. It links only itself, and includes only its own headers, by quoted file name, and
# the C++ standard library, whose headers are lower-case names without an extension. Anything else
# (windows.h, emscripten.h, emscripten/html5.h, QPainter, QtGui/QImage, X11/Xlib.h, unistd.h)
# fails the build of the core, in every preset, naming the file and the line. A foreign link fails
# the configure.
#
# This file is also the check itself: the build runs it as a script over the core's sources,
# again whenever one of them changes.

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
  # cmake -P CoreBoundary.cmake -- STAMP HEADER_NAMES SOURCE...
  # HEADER_NAMES is the core's header file names joined by "|".
  math(EXPR last "${CMAKE_ARGC} - 1")
  set(arguments "")
  set(seen_dashes FALSE)
  foreach(i RANGE ${last})
    if(seen_dashes)
      list(APPEND arguments "${CMAKE_ARGV${i}}")
    elseif(CMAKE_ARGV${i} STREQUAL "--")
      set(seen_dashes TRUE)
    endif()
  endforeach()
  list(POP_FRONT arguments stamp own_headers)
  string(REPLACE "|" ";" own_headers "${own_headers}")

  set(foreign "")
  foreach(source IN LISTS arguments)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<[a-z_]+>")
        continue()  # the standard library
      endif()
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
        if(CMAKE_MATCH_1 IN_LIST own_headers)
          continue()
        endif()
      endif()
      string(STRIP "${line}" line)
      string(APPEND foreign "\n  ${source}: ${line}")
    endforeach()
  endforeach()
  if(foreign)
    message(FATAL_ERROR "The core must stay free of toolkits and platforms; it includes only its own "
                        "headers and the C++ standard library, but here it includes more:${foreign}")
  endif()
  file(TOUCH "${stamp}")
  return()
endif()

function(quorrin_require_toolkit_free)
  list(JOIN ARGN ", " core)
  set(all_sources "")
  foreach(target IN LISTS ARGN)
    get_target_property(dir ${target} SOURCE_DIR)
    get_target_property(libs ${target} LINK_LIBRARIES)
    get_target_property(sources ${target} SOURCES)
    if(NOT libs)
      set(libs "")
    endif()
    foreach(lib IN LISTS libs)
      if(NOT lib IN_LIST ARGN)
        message(FATAL_ERROR "${target} links ${lib}; the core links only the core (${core})")
      endif()
    endforeach()
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${dir}")
      list(APPEND all_sources "${source}")
    endforeach()
  endforeach()

  set(own_headers "")
  foreach(source IN LISTS all_sources)
    if(source MATCHES "\\.h$")
      cmake_path(GET source FILENAME name)
      list(APPEND own_headers "${name}")
    endif()
  endforeach()
  list(JOIN own_headers "|" own_headers)

  set(stamp ${CMAKE_BINARY_DIR}/core-boundary.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE} -- ${stamp} "${own_headers}" ${all_sources}
    DEPENDS ${all_sources} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Checking that the core includes no toolkit or platform header"
    VERBATIM)
  add_custom_target(quorrin_core_boundary DEPENDS ${stamp})
  foreach(target IN LISTS ARGN)
    add_dependencies(${target} quorrin_core_boundary)
  endforeach()
endfunction()
