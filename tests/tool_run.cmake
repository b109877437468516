# What the tool tests share: run(EXPECTED COMMAND...) runs a command as a user
# runs it, fails the test unless it exits with EXPECTED, and leaves what it
# printed (standard output, then standard error) in `output`.
function(run expected)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL "${expected}")
    message(FATAL_ERROR "${ARGN}: exit ${rc}, expected ${expected}\n${out}${err}")
  endif()
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()
