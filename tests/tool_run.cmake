# What the tool tests share: run(EXPECTED COMMAND...) runs a command as a user
# runs it, fails the test unless it exits with EXPECTED, and leaves what it
# printed (standard output, then standard error) in `output`;
# expect_usage(TOOL USAGE) runs TOOL --help, which must succeed and print
# USAGE; expect_same_files(A B WHY NAME...) fails the test unless each file
# NAME is the same, byte for byte, in folders A and B, saying "NAME differs"
# and WHY.
function(run expected)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL "${expected}")
    message(FATAL_ERROR "${ARGN}: exit ${rc}, expected ${expected}\n${out}${err}")
  endif()
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect_usage tool usage)
  run(0 ${tool} --help)
  if(NOT output MATCHES "${usage}")
    message(FATAL_ERROR "no usage in: ${output}")
  endif()
endfunction()

function(expect_same_files a b why)
  foreach(name IN LISTS ARGN)
    file(SHA256 ${a}/${name} x)
    file(SHA256 ${b}/${name} y)
    if(NOT x STREQUAL y)
      message(FATAL_ERROR "${name} differs ${why}")
    endif()
  endforeach()
endfunction()
