# Runs the content generator into OUTPUT and checks that it wrote the same
# files, byte for byte, as the build wrote into REFERENCE.
include(${CMAKE_CURRENT_LIST_DIR}/tool_run.cmake)

file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "generator failed: ${rc}")
endif()
file(GLOB_RECURSE again RELATIVE ${OUTPUT} ${OUTPUT}/*)
file(GLOB_RECURSE first RELATIVE ${REFERENCE} ${REFERENCE}/*)
# The wallpapers' art is copied in from data/art, not written by the generator.
list(FILTER first EXCLUDE REGEX "^ZORVA/")
list(SORT again)
list(SORT first)
if(NOT again STREQUAL first)
  message(FATAL_ERROR "the two runs wrote different files")
endif()
list(LENGTH first count)
expect_same_files(${OUTPUT} ${REFERENCE} "between two runs" ${first})
file(REMOVE_RECURSE ${OUTPUT})
message(STATUS "${count} files, the same bytes")
