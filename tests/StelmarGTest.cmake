# stelmar_gtest(TARGET LABEL [SLOW Suite.Case...]): registers every case of a
# GoogleTest program as its own ctest with the label LABEL; the cases named
# in SLOW take seconds (under the sanitizers more) and carry the label slow too.
include(GoogleTest)

function(stelmar_gtest target label)
  cmake_parse_arguments(ARG "" "" "SLOW" ${ARGN})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${label})
  if(NOT ARG_SLOW)
    return()
  endif()
  # The discovered tests take only single labels, so the second label is set
  # by a file that ctest reads after the list of discovered tests.
  set(slow_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_slow.cmake)
  file(WRITE ${slow_file}
    "foreach(test IN ITEMS ${ARG_SLOW})\n"
    "  list(FIND ${target}_TESTS \${test} found)\n"
    "  if(DEFINED ${target}_TESTS AND found EQUAL -1)\n"
    "    message(WARNING \"${target} has no test \${test} to label slow\")\n"
    "  endif()\n"
    "endforeach()\n"
    "set_tests_properties(${ARG_SLOW} PROPERTIES LABELS \"${label};slow\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${slow_file})
endfunction()
