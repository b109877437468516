# The palette maker run as a user runs it: help, bad arguments, a missing
# picture, and a picture made by ImageMagick, whose palette file is checked
# line by line.
#   cmake -DTOOL=... -DCONVERT=... -DWORK=... -P palette_tool_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/tool_run.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

expect_usage(${TOOL} "usage: quennel-palette IMAGE OUT.tr")
run(2 ${TOOL})
run(2 ${TOOL} a.png b.tr --colors 0)
run(2 ${TOOL} a.png b.tr --colors 12x)
run(2 ${TOOL} a.png b.tr c.tr)
run(2 ${TOOL} a.png b.tr --fast)
run(1 ${TOOL} ${WORK}/missing.png ${WORK}/out.tr)

run(0 ${CONVERT} -size 96x64 plasma:red-blue -seed 3 ${WORK}/picture.png)
run(0 ${TOOL} ${WORK}/picture.png ${WORK}/out.tr --colors 16)
file(READ ${WORK}/out.tr text)
if(NOT text MATCHES "\n$")
  message(FATAL_ERROR "the last line has no line end")
endif()
file(STRINGS ${WORK}/out.tr lines)
list(LENGTH lines count)
if(count LESS 3 OR count GREATER 16)
  message(FATAL_ERROR "${count} colours, expected 3-16")
endif()
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9]+ [0-9]+ [0-9]+ -( [0-7])*$")
    message(FATAL_ERROR "not a palette line: '${line}'")
  endif()
endforeach()
