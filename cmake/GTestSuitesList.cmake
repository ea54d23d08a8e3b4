# Run after a test program is built: writes OUT with one add_test per suite.
execute_process(COMMAND "${EXE}" --gtest_list_tests
                OUTPUT_VARIABLE listing RESULT_VARIABLE rc ERROR_VARIABLE err
                TIMEOUT 60)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXE} --gtest_list_tests failed (${rc}): ${err}")
endif()
string(REPLACE "|" ";" props "${PROPS}")
set(out "")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  # Suites start in the first column ("Suite." maybe followed by a comment).
  if(line MATCHES "^([A-Za-z_][A-Za-z0-9_/]*)\\.")
    set(suite "${CMAKE_MATCH_1}")
    string(APPEND out "add_test([=[${PREFIX}.${suite}]=] [=[${EXE}]=] [=[--gtest_filter=${suite}.*]=])\n")
    string(APPEND out "set_tests_properties([=[${PREFIX}.${suite}]=] PROPERTIES")
    foreach(p IN LISTS props)
      string(APPEND out " [=[${p}]=]")
    endforeach()
    string(APPEND out ")\n")
  endif()
endforeach()
file(WRITE "${OUT}" "${out}")
