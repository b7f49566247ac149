# Each part exports only its own headers. varnock_part_headers(<target> <folder> [<header>...])
# links the part's headers (all *.h in <folder>, or those named) into an include folder of its
# own in the build tree, under their repository path, and makes that folder the target's
# include directory: "#include "xmlrpc/core/value.h"" reads the same everywhere, and a part
# finds only the headers of the parts it links, so an include the architecture forbids fails
# to build. Called once per folder of a target; the repository root is never exported.
function(varnock_part_headers target folder)
  set(source ${PROJECT_SOURCE_DIR}/${folder})
  if(ARGN)
    list(TRANSFORM ARGN PREPEND ${source}/ OUTPUT_VARIABLE headers)
  else()
    file(GLOB headers CONFIGURE_DEPENDS ${source}/*.h)
  endif()
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  # Links of headers that left the folder or the list go first.
  file(GLOB stale ${root}/${folder}/*.h)
  if(stale)
    file(REMOVE ${stale})
  endif()
  foreach(header IN LISTS headers)
    if(NOT EXISTS ${header})
      message(FATAL_ERROR "${target}: no header ${header}")
    endif()
    get_filename_component(name ${header} NAME)
    file(MAKE_DIRECTORY ${root}/${folder})
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
