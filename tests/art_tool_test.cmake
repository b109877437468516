# quennel-art run as a user runs it: damaged palettes are refused with the
# file, the line and the reason on stderr and exit code 1; the allowed forms
# render, for one monitor or several; a picture one pixel high goes through
# encode, decode and render;
# encode keeps to a size asked for.
#   cmake -DTOOL=... -DCONVERT=... -DWORK=... -P art_tool_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/tool_run.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

run(0 ${CONVERT} -size 16x1 gradient:red-blue ${WORK}/row.png)
run(0 ${TOOL} encode ${WORK}/row.png ${WORK}/row.ART --quality 90)
run(0 ${TOOL} decode ${WORK}/row.ART ${WORK}/decoded.png)
run(0 ${CONVERT} ${WORK}/decoded.png -format "%wx%h" info:)
if(NOT output STREQUAL "16x1")
  message(FATAL_ERROR "decoded picture is ${output}, expected 16x1")
endif()

# A size asked for is never passed; a size and a PSNR together are refused.
run(0 ${CONVERT} -size 64x48 gradient:red-blue ${WORK}/ramp.png)
run(0 ${TOOL} encode ${WORK}/ramp.png ${WORK}/ramp.ART --size 600)
file(SIZE ${WORK}/ramp.ART size)
if(size GREATER 600)
  message(FATAL_ERROR "ramp.ART is ${size} bytes, asked for at most 600")
endif()
run(0 ${TOOL} encode ${WORK}/ramp.png ${WORK}/ramp.ART --psnr 30 --best)
run(2 ${TOOL} encode ${WORK}/ramp.png ${WORK}/ramp.ART --size 600 --psnr 30)
run(2 ${TOOL} encode ${WORK}/ramp.png ${WORK}/ramp.ART --size 0)

# Allowed: CR LF line ends, and a last line without its line end.
file(WRITE ${WORK}/good.tr "0 0 0 - 0\r\n255 255 255 - 7")
foreach(depth 8 16 24)
  run(0 ${TOOL} render ${WORK}/row.ART ${WORK}/good.tr --size 5x3 --depth ${depth} -o ${WORK}/row${depth}.bmp)
endforeach()
file(SIZE ${WORK}/row8.bmp size)
if(NOT size EQUAL 1102)  # headers 54, colour table 1024, three rows of 8 bytes
  message(FATAL_ERROR "row8.bmp is ${size} bytes, expected 1102")
endif()

# Monitors side by side: one bitmap as wide as both, as high as the highest;
# a size list with a sign, a blank or a "+" and nothing after it is refused.
run(0 ${TOOL} render ${WORK}/row.ART ${WORK}/good.tr --size 5x3+4x2 --depth 8 -o ${WORK}/two.bmp)
file(SIZE ${WORK}/two.bmp size)
if(NOT size EQUAL 1114)  # headers 54, colour table 1024, three rows of 12 bytes
  message(FATAL_ERROR "two.bmp is ${size} bytes, expected 1114")
endif()
foreach(bad "5x3+" "5x3++4x2" "+5x3" "5x+3" " 5x3" "5x3+0x2")
  run(2 ${TOOL} render ${WORK}/row.ART ${WORK}/good.tr --size "${bad}" --depth 8 -o ${WORK}/out.bmp)
endforeach()

run(1 ${TOOL} render ${WORK}/row.ART ${WORK}/missing.tr --size 5x3 --depth 8 -o ${WORK}/out.bmp)
if(NOT output MATCHES "quennel-art: cannot read .*missing.tr")
  message(FATAL_ERROR "no message for a missing palette: ${output}")
endif()
set(cases
  "0 0 0 - 0\n1 2 3 - 8\n|2|path element 8 is not a child index 0-7: \"1 2 3 - 8\""
  "1 2 3 4\n|1|it has no \"-\" before the path"
  "0 0 0 - 0\n\n|2|the line is blank")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 text)
  list(GET parts 1 line)
  list(GET parts 2 reason)
  file(WRITE ${WORK}/bad.tr "${text}")
  run(1 ${TOOL} render ${WORK}/row.ART ${WORK}/bad.tr --size 5x3 --depth 8 -o ${WORK}/out.bmp)
  string(FIND "${output}" "quennel-art: Palette file ${WORK}/bad.tr is damaged at line ${line}: ${reason}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected line ${line}: ${reason}\ngot: ${output}")
  endif()
endforeach()
file(WRITE ${WORK}/empty.tr "")
run(1 ${TOOL} render ${WORK}/row.ART ${WORK}/empty.tr --size 5x3 --depth 8 -o ${WORK}/out.bmp)
if(NOT output MATCHES "empty.tr is damaged: it holds no entries")
  message(FATAL_ERROR "no message for an empty palette: ${output}")
endif()
if(EXISTS ${WORK}/out.bmp)
  message(FATAL_ERROR "a refused palette left a bitmap")
endif()
file(REMOVE_RECURSE ${WORK})
