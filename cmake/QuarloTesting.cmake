# Test registration. Native GoogleTest programs run directly; Windows ones run under
# Wine through scripts/wine-run.sh (its own prefix per build tree, a display, a
# timeout). Wine keeps one foreground window per prefix, so Windows tests hold the
# "wine_desktop" resource lock and never run side by side.
enable_testing()
set(QUARLO_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(QUARLO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# Files the tests read that nobody here wrote. Each one is required: a missing one is a
# failing test named after it (and the tests that need it do not run, which ctest also
# counts as failures), never a skipped test.
set(QUARLO_PNGSUITE_DIR "${QUARLO_CACHE_DIR}/src/libpng/contrib/pngsuite" CACHE PATH
    "libpng's PNG suite, from its Debian source package (scripts/deps.sh)")
set(QUARLO_SAMPLE_MODELS_DIR "/usr/share/assimp/models" CACHE PATH "glTF and GLB files of assimp-testmodels")
set(QUARLO_TEST_FONT_FILE "/usr/share/fonts/truetype/lato/Lato-Regular.ttf" CACHE FILEPATH
    "the TrueType font of the text tests (fonts-lato)")
set(QUARLO_CONVERT "/usr/bin/convert" CACHE FILEPATH "ImageMagick's convert, which writes and reads test images")

# quarlo_add_fixture(name origin path [pattern]): the test "fixture_<name>" checks that
# path exists (a folder: that it holds a file matching pattern) when the tests run.
function(quarlo_add_fixture name origin path)
  add_test(NAME fixture_${name}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/fixture_check.sh ${name} ${origin} ${path} ${ARGN})
  set_tests_properties(fixture_${name} PROPERTIES FIXTURES_SETUP ${name})
endfunction()

# quarlo_require_fixtures(test fixture...)
function(quarlo_require_fixtures test)
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${ARGN})
endfunction()

# quarlo_add_failing_test(name message): stands in for a test that cannot be built here,
# so that it fails with the reason instead of vanishing from the run.
function(quarlo_add_failing_test name message)
  add_test(NAME ${name} COMMAND bash -c "echo \"$1\"; exit 1" -- "${message}")
endfunction()

# quarlo_add_gtest(name SOURCES ... [LIBS ...] [TIMEOUT s] [WORKING_DIRECTORY dir] [NO_MAIN]
#                  [FILTER gtest-filter])
# FILTER limits the run registered under the program's name (quarlo_add_gtest_run
# registers others).
function(quarlo_add_gtest name)
  cmake_parse_arguments(T "NO_MAIN" "TIMEOUT;WORKING_DIRECTORY;FILTER" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} Quarlo::GTest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} Quarlo::GTestMain)
  endif()
  if(QUARLO_WINDOWS)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  set(_run)
  if(T_FILTER)
    list(APPEND _run FILTER ${T_FILTER})
  endif()
  if(T_TIMEOUT)
    list(APPEND _run TIMEOUT ${T_TIMEOUT})
  endif()
  quarlo_add_gtest_run(${name} ${name} ${_run})
  if(T_WORKING_DIRECTORY)
    set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
  endif()
endfunction()

# quarlo_add_gtest_run(name program [FILTER gtest-filter] [TIMEOUT s] [ENVIRONMENT var=value...])
# A ctest entry that runs a GoogleTest program (natively, or under Wine with the
# desktop lock), limited to the tests the filter names. GoogleTest reports a skipped
# test, and a filter that names no test, with a zero exit code; ctest is told that
# either fails.
function(quarlo_add_gtest_run name program)
  cmake_parse_arguments(R "" "FILTER;TIMEOUT" "ENVIRONMENT" ${ARGN})
  if(NOT R_TIMEOUT)
    set(R_TIMEOUT 120)
  endif()
  set(_arguments)
  if(R_FILTER)
    set(_arguments --gtest_filter=${R_FILTER})
  endif()
  if(QUARLO_WINDOWS)
    add_test(NAME ${name}
      COMMAND ${QUARLO_WINE_RUN} --prefix ${QUARLO_WINE_PREFIX} --timeout ${R_TIMEOUT} $<TARGET_FILE:${program}>
              ${_arguments})
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_desktop)
  else()
    add_test(NAME ${name} COMMAND ${program} ${_arguments})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${R_TIMEOUT}
    FAIL_REGULAR_EXPRESSION "\\[  SKIPPED \\];\\[==========\\] 0 tests from")
  if(R_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${R_ENVIRONMENT}")
  endif()
endfunction()

# quarlo_add_wine_script_test(name script [args...]): a bash test that drives Windows
# programs itself (through the same launcher, passed in QUARLO_WINE_RUN), in 120 s
# unless it says otherwise.
function(quarlo_add_wine_script_test name script)
  add_test(NAME ${name} COMMAND bash ${script} ${ARGN})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 120
    ENVIRONMENT "QUARLO_WINE_RUN=${QUARLO_WINE_RUN};QUARLO_WINEPREFIX=${QUARLO_WINE_PREFIX};QUARLO_BIN=${CMAKE_BINARY_DIR}/bin;QUARLO_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()
