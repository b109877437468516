# The generated program resources and theme content, read back.
set(content_sources content_test.cpp content_formats_test.cpp)
if(WIN32)
  # The icons and cursors drawn by the system, at the screen's depth.
  list(APPEND content_sources content_drawing_test.cpp)
endif()
quennel_add_test(content_test SOURCES ${content_sources} LIBS quennel_install quennel_testing)
target_compile_definitions(content_test PRIVATE QUENNEL_CONTENT_FOLDER="${QUENNEL_CONTENT_DIR}"
                           QUENNEL_MAX_INSTALL_FOLDER=${QUENNEL_MAX_INSTALL_FOLDER})
add_dependencies(content_test quennel_content_files)
# The large icons are PNG pictures, read back with stb_image.
target_include_directories(content_test SYSTEM PRIVATE ${QUENNEL_STB_INCLUDE})

# The same bytes on every run: a second run of the generator matches the first.
if(NOT WIN32)
  add_test(NAME content_reproducible
           COMMAND ${CMAKE_COMMAND} -DGENERATOR=$<TARGET_FILE:quennel-content> -DREFERENCE=${QUENNEL_CONTENT_DIR}
                   -DOUTPUT=${CMAKE_BINARY_DIR}/content-again -P ${CMAKE_CURRENT_SOURCE_DIR}/content_same.cmake)
endif()
