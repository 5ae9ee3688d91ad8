# Test support for the Windows builds. Test programs are placed inside the
# sandbox folder that the private Wine prefix maps as drive S:, so that they
# (and every file they write) stay inside the build tree.
set(QUOR_SANDBOX_DIR ${CMAKE_BINARY_DIR}/sandbox)
set(QUOR_TEST_BIN_DIR ${QUOR_SANDBOX_DIR}/bin)
file(MAKE_DIRECTORY ${QUOR_TEST_BIN_DIR})

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Default bound for one test program, so a stray message box cannot hang a run.
set(QUOR_TEST_TIMEOUT 300 CACHE STRING "Seconds one test program may run")

# Every test entry of a Windows build reports exit code 77 as skipped:
# cmake/wine-run.sh ends so, saying why, when the machine cannot run the
# build's programs (32-bit ones without a 32-bit Wine). A test that skips
# itself inside an entry fails it: each entry runs only the tests it can run
# (the others are filtered out), so a passing entry has run all of its tests.
# Called at the end of each test folder (scheduled by quor_add_gtest), when all
# its entries exist.
function(quor_mark_skip_code)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test ${tests})
    get_test_property(${test} FAIL_REGULAR_EXPRESSION fail)
    if(NOT fail)
      set(fail "")
    endif()
    list(APPEND fail "\\[  SKIPPED \\]")
    set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE 77 FAIL_REGULAR_EXPRESSION "${fail}")
  endforeach()
endfunction()

# quor_add_gtest(NAME SOURCES src... [LIBS lib...] [TIMEOUT s] [LABELS l...])
# Builds a GoogleTest program and registers it with ctest; ctest runs it through
# the cross-compiling emulator (cmake/wine-run.sh).
function(quor_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUOR_TEST_BIN_DIR})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${QUOR_TEST_TIMEOUT})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QUOR_TEST_TIMEOUT=${ARG_TIMEOUT}")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  get_property(scheduled DIRECTORY PROPERTY QUOR_SKIP_CODE_SCHEDULED)
  if(NOT scheduled)
    set_property(DIRECTORY PROPERTY QUOR_SKIP_CODE_SCHEDULED TRUE)
    cmake_language(DEFER CALL quor_mark_skip_code)
  endif()
endfunction()
