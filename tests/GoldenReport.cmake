# Runs stelmar-calc on a project and compares the report it writes with a
# golden file; with REGENERATE set it writes the golden file instead.
#   cmake -DCALC=stelmar-calc -DARGS="project and options" -DGOLDEN=file
#         -DOUT=report [-DREGENERATE=ON] -P GoldenReport.cmake
# The report does not depend on the locale when the options name the decimal
# separator; C.UTF-8 keeps the messages of a failure readable.
set(ENV{LC_ALL} C.UTF-8)
separate_arguments(args UNIX_COMMAND "${ARGS}")
if(REGENERATE)
  set(OUT "${GOLDEN}")
endif()
get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
file(REMOVE "${OUT}")

execute_process(COMMAND "${CALC}" ${args} --out "${OUT}"
                RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "stelmar-calc ${ARGS}: exit status ${status}\n${errors}")
endif()
if(REGENERATE)
  message(STATUS "Wrote ${GOLDEN}")
  return()
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT}" "${GOLDEN}" RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "The report of stelmar-calc ${ARGS}\n  ${OUT}\ndiffers from\n  ${GOLDEN}\n"
                      "When the change is intended: cmake --build <build dir> --target regenerate_golden")
endif()
