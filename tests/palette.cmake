# The palette: files and tree, search, row reduction, and the palette maker's
# pictures run through them.
add_executable(palette_probe palette_probe.cpp)
target_link_libraries(palette_probe PRIVATE quennel_palette)

quennel_add_test(palette_test SOURCES palette_test.cpp palette_diffuse_test.cpp
                 LIBS quennel_palette quennel_palette_maker quennel_testing)
add_dependencies(palette_test palette_probe)

# The maker as a command, natively (ImageMagick draws its picture).
find_program(QUENNEL_CONVERT convert)
if(NOT WIN32 AND QUENNEL_CONVERT)
  add_test(NAME PaletteTool.CommandLine
           COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:quennel-palette> -DCONVERT=${QUENNEL_CONVERT}
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/palette_tool -P ${CMAKE_CURRENT_SOURCE_DIR}/palette_tool_test.cmake)
endif()
