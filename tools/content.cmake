# The content generator, quennel-content, and the content it writes: the
# program's resources (icons, About picture and its palette) and the five
# colour themes with their icons, cursors and sounds, in ${QUENNEL_CONTENT_DIR}.
# The generator is a native program; the Windows build, which cannot run its
# own exes while it builds, builds it natively in a sub-build of this same tree
# and runs that.
set(QUENNEL_CONTENT_DIR ${CMAKE_BINARY_DIR}/content CACHE INTERNAL
    "Folder of the generated program resources and theme content")

set(content_src ${CMAKE_CURRENT_SOURCE_DIR}/content)
set(content_sources
  ${content_src}/main.cpp ${content_src}/writers.cpp ${content_src}/quantize.cpp ${content_src}/canvas.cpp
  ${content_src}/preview.cpp ${content_src}/bitfont.cpp ${content_src}/strokefont.cpp ${content_src}/emblems.cpp
  ${content_src}/program_icons.cpp ${content_src}/about.cpp ${content_src}/desktop_icons.cpp
  ${content_src}/cursors.cpp ${content_src}/sounds.cpp ${content_src}/themes.cpp)

if(NOT WIN32)
  add_executable(quennel-content ${content_sources})
  target_include_directories(quennel-content SYSTEM PRIVATE ${QUENNEL_STB_INCLUDE})
  # The generator paints pictures pixel by pixel: always optimised, also in
  # debug and sanitizer builds, so the build does not wait on it.
  target_compile_options(quennel-content PRIVATE -O2)
  set(content_generator $<TARGET_FILE:quennel-content>)
  set(content_generator_target quennel-content)
else()
  include(ExternalProject)
  set(content_host_dir ${CMAKE_BINARY_DIR}/content-host)
  set(content_host_exe ${content_host_dir}/tools/quennel-content)
  ExternalProject_Add(quennel-content-host
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${content_host_dir}
    CMAKE_ARGS -DQUENNEL_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target quennel-content
    BUILD_BYPRODUCTS ${content_host_exe}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  set(content_generator ${content_host_exe})
  set(content_generator_target quennel-content-host)
endif()

# The files later steps name directly (the resource script, the installer);
# the generator writes many more beside them.
set(content_named_files)
foreach(name resources/balls.ico resources/WHITE.ico resources/BLUE.ico resources/BLACK.ico resources/RED.ico
             resources/GREEN.ico resources/about.bmp WALLART/PALALL9.TR)
  list(APPEND content_named_files ${QUENNEL_CONTENT_DIR}/${name})
endforeach()
foreach(color BLACK RED WHITE BLUE GREEN)
  list(APPEND content_named_files "${QUENNEL_CONTENT_DIR}/Zorva The Vandrel ${color}.theme")
endforeach()

# The wallpapers' art and palettes, ZORVA\<COLOUR>.ART and .tr (the installer
# puts ZORVA\ into the Windows folder), are copied from data/art, where
# quennel_art_regenerate (tools/art.cmake) keeps them.
set(content_art_files)
foreach(color BLACK RED WHITE BLUE GREEN)
  foreach(ext ART tr)
    list(APPEND content_art_files ${CMAKE_SOURCE_DIR}/data/art/${color}.${ext})
    list(APPEND content_named_files ${QUENNEL_CONTENT_DIR}/ZORVA/${color}.${ext})
  endforeach()
endforeach()

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/content.stamp
  BYPRODUCTS ${content_named_files}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QUENNEL_CONTENT_DIR}
  COMMAND ${content_generator} ${QUENNEL_CONTENT_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUENNEL_CONTENT_DIR}/ZORVA
  COMMAND ${CMAKE_COMMAND} -E copy ${content_art_files} ${QUENNEL_CONTENT_DIR}/ZORVA
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/content.stamp
  DEPENDS ${content_generator_target} ${content_generator} ${content_art_files}
  COMMENT "Generating the program resources and theme content"
  VERBATIM)
add_custom_target(quennel_content_files ALL DEPENDS ${CMAKE_BINARY_DIR}/content.stamp)

# Contact sheets of the pictures, for people to look at: not part of "all".
add_custom_target(quennel_content_previews
  COMMAND ${content_generator} ${CMAKE_BINARY_DIR}/content-preview-run --preview ${CMAKE_BINARY_DIR}/content-previews
  DEPENDS ${content_generator_target}
  VERBATIM)
