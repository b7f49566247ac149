# GoogleTest for both builds: Debian's packaged library natively, Debian's
# sources compiled with the MinGW compiler for the Windows build.
if(WIN32)
  set(VARNOCK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VARNOCK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -Wno-error)
      if(NOT TARGET GTest::${t})
        add_library(GTest::${t} ALIAS ${t})
      endif()
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Tests that need the fixed fldigi port 7362 share this lock so ctest runs them one at a time.
set(VARNOCK_PORT_LOCK port7362)

# Listing the tests of a Windows executable runs it under Wine, whose first start in a session
# can take longer than GoogleTest's default five-second discovery limit; and discovery waits for
# test time so that building never starts Wine.
function(gtest_discover_tests target)
  _gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST ${ARGN})
endfunction()
