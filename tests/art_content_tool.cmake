# quennel-wallart as a user runs it: help, bad arguments, and the green
# wallpaper made again, which must match the kept files byte for byte.
#   cmake -DTOOL=... -DKEPT=<data/art> -DWORK=... -P art_content_tool.cmake
include(${CMAKE_CURRENT_LIST_DIR}/tool_run.cmake)

file(REMOVE_RECURSE ${WORK})

expect_usage(${TOOL} "usage: quennel-wallart OUT_FOLDER")
run(2 ${TOOL})
run(2 ${TOOL} ${WORK} --only PURPLE)
run(2 ${TOOL} ${WORK} --only)
run(2 ${TOOL} ${WORK} --fast)
run(2 ${TOOL} ${WORK} ${WORK}/again)

run(0 ${TOOL} ${WORK} --only GREEN)
message(STATUS "${output}")
file(GLOB made RELATIVE ${WORK} ${WORK}/*)
if(NOT made STREQUAL "GREEN.ART;GREEN.tr")
  message(FATAL_ERROR "wrote ${made}, expected GREEN.ART and GREEN.tr")
endif()
expect_same_files(${WORK} ${KEPT} "from the kept one: run the target quennel_art_regenerate" GREEN.ART GREEN.tr)
file(REMOVE_RECURSE ${WORK})
