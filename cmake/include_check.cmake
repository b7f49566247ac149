# An include that climbs out of its folder ("../../xmlrpc/core/value.h") would find any header
# of the tree, past what the part links (part_headers.cmake). varnock_check_includes(<folder>...)
# gives every target defined under the folders a step that reads the target's C and C++ sources
# and the headers beside them and fails the build, naming file and line, when an include
# holds "../" (or "..\"). The step runs before the target compiles and again whenever one of
# those files changes; its stamp is build/<preset>/include-check/<target>.ok.
set(VARNOCK_INCLUDE_SCAN ${CMAKE_CURRENT_LIST_DIR}/include_scan.cmake)

# The targets defined in `directory` and in the folders below it.
function(varnock_targets_under directory out)
  get_directory_property(found DIRECTORY ${directory} BUILDSYSTEM_TARGETS)
  get_directory_property(children DIRECTORY ${directory} SUBDIRECTORIES)
  foreach(child IN LISTS children)
    varnock_targets_under(${child} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The C and C++ files `target` is built from, with every header in their folders.
function(varnock_scanned_files target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(directory ${target} SOURCE_DIR)
  set(files)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.(c|cc|cpp|h|hpp)$" OR source MATCHES "^\\$<")
      continue()
    endif()
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${directory})
    string(FIND ${path} ${PROJECT_BINARY_DIR}/ generated)
    if(generated EQUAL 0 OR NOT EXISTS ${path})
      continue()
    endif()
    get_filename_component(folder ${path} DIRECTORY)
    file(GLOB headers CONFIGURE_DEPENDS ${folder}/*.h)
    list(APPEND files ${path} ${headers})
  endforeach()
  list(REMOVE_DUPLICATES files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

function(varnock_check_includes)
  # The folders of this build (the Windows-only ones are not added natively).
  get_directory_property(added DIRECTORY ${PROJECT_SOURCE_DIR} SUBDIRECTORIES)
  set(targets)
  foreach(folder IN LISTS ARGN)
    if(${PROJECT_SOURCE_DIR}/${folder} IN_LIST added)
      varnock_targets_under(${PROJECT_SOURCE_DIR}/${folder} below)
      list(APPEND targets ${below})
    endif()
  endforeach()
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    varnock_scanned_files(${target} files)
    if(NOT files)
      continue()
    endif()
    set(list_file ${PROJECT_BINARY_DIR}/include-check/${target}.files)
    set(stamp ${PROJECT_BINARY_DIR}/include-check/${target}.ok)
    string(REPLACE ";" "\n" lines "${files}")
    file(CONFIGURE OUTPUT ${list_file} CONTENT "${lines}\n")
    add_custom_command(
      OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -DLIST=${list_file} -DSTAMP=${stamp} -P ${VARNOCK_INCLUDE_SCAN}
      DEPENDS ${files} ${list_file} ${VARNOCK_INCLUDE_SCAN}
      COMMENT "Checking the includes of ${target}"
      VERBATIM)
    add_custom_target(${target}_includes DEPENDS ${stamp})
    add_dependencies(${target} ${target}_includes)
  endforeach()
endfunction()
