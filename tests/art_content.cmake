# The wallpapers' art and palettes in the content folder, read back as the
# wallpaper job reads them; and their generator as a command.
quennel_add_test(art_content_test SOURCES art_content_test.cpp
                 LIBS quennel_wallart quennel_art_encoder quennel_wallpaper quennel_testing)
target_compile_definitions(art_content_test PRIVATE QUENNEL_CONTENT_FOLDER="${QUENNEL_CONTENT_DIR}")
add_dependencies(art_content_test quennel_content_files)

# The generator run as a user runs it, and one colour made again: the same
# bytes as the files kept in data/art (the plain native build only, the
# build they are made with).
if(NOT WIN32 AND NOT QUENNEL_SANITIZE)
  add_test(NAME ArtContent.GeneratorRemakesTheKeptFiles
           COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:quennel-wallart> -DKEPT=${CMAKE_SOURCE_DIR}/data/art
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/art_content_tool
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/art_content_tool.cmake)
endif()
