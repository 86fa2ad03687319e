# Test registration. Native GoogleTest programs run directly; Windows ones run under
# Wine through scripts/wine-run.sh (its own prefix per build tree, a display, a
# timeout). Wine keeps one foreground window per prefix, so Windows tests hold the
# "wine_desktop" resource lock and never run side by side.
enable_testing()
set(QUARLO_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(QUARLO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# quarlo_add_gtest(name SOURCES ... [LIBS ...] [TIMEOUT s] [WORKING_DIRECTORY dir] [NO_MAIN])
function(quarlo_add_gtest name)
  cmake_parse_arguments(T "NO_MAIN" "TIMEOUT;WORKING_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} Quarlo::GTest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} Quarlo::GTestMain)
  endif()
  if(QUARLO_WINDOWS)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
    add_test(NAME ${name}
      COMMAND ${QUARLO_WINE_RUN} --prefix ${QUARLO_WINE_PREFIX} --timeout ${T_TIMEOUT} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT ${T_TIMEOUT})
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
  if(T_WORKING_DIRECTORY)
    set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
  endif()
endfunction()

# quarlo_add_wine_script_test(name script [args...]): a bash test that drives Windows
# programs itself (through the same launcher, passed in QUARLO_WINE_RUN).
function(quarlo_add_wine_script_test name script)
  add_test(NAME ${name} COMMAND bash ${script} ${ARGN})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 600
    ENVIRONMENT "QUARLO_WINE_RUN=${QUARLO_WINE_RUN};QUARLO_WINEPREFIX=${QUARLO_WINE_PREFIX};QUARLO_BIN=${CMAKE_BINARY_DIR}/bin;QUARLO_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()
