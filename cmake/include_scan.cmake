# cmake -DLIST=<file of paths> -DSTAMP=<file> -P include_scan.cmake: fails, naming file and
# line of each, when an include in one of the listed files holds "../" or "..\"; otherwise
# touches STAMP. The step varnock_check_includes (include_check.cmake) gives a target runs it.
file(STRINGS ${LIST} files)
set(include_pattern "#[ \t]*include[ \t]*[<\"][^\">\n]*\\.\\.[/\\\\][^\">\n]*[\">]")
set(failed FALSE)
foreach(file IN LISTS files)
  file(READ ${file} rest)
  set(line 1)
  while(rest MATCHES "(^|\n)[ \t]*(${include_pattern})")
    set(found "${CMAKE_MATCH_2}")
    string(FIND "${rest}" "${found}" at)
    string(SUBSTRING "${rest}" 0 ${at} before)
    string(REGEX MATCHALL "\n" breaks "${before}")
    list(LENGTH breaks count)
    math(EXPR line "${line} + ${count}")
    message(NOTICE "${file}:${line}: error: ${found}: an include never climbs out of its "
                   "folder with \"../\"; write the header's repository path "
                   "(\"xmlrpc/core/value.h\"), which the part finds only if it may include it "
                   "(docs/ARCHITECTURE.md)")
    set(failed TRUE)
    string(LENGTH "${before}${found}" after)
    string(SUBSTRING "${rest}" ${after} -1 rest)
  endwhile()
endforeach()
if(failed)
  message(FATAL_ERROR "includes climb out of their folders (see above)")
endif()
file(TOUCH ${STAMP})
