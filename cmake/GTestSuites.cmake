# One CTest test per GoogleTest suite: all of a suite's tests run in one
# process, so a suite's shared set-up (a provider simulator, a window)
# happens once, and CTest runs the suites in parallel. The list is read from
# the built test program, like gtest_discover_tests does for single tests.
#   qgm_gtest_suites(TARGET PROPERTIES LABELS unit TIMEOUT 60 ...)
function(qgm_gtest_suites target)
  cmake_parse_arguments(A "" "" "PROPERTIES" ${ARGN})
  set(ctest_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake")
  string(REPLACE ";" "|" props "${A_PROPERTIES}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${target}> -DOUT=${ctest_file}
            -DPREFIX=${target} -DPROPS=${props}
            -P ${PROJECT_SOURCE_DIR}/cmake/GTestSuitesList.cmake
    BYPRODUCTS ${ctest_file}
    VERBATIM)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${ctest_file})
endfunction()
