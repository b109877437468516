# The palette maker: an octree palette of a picture, as a palette file.
add_library(quennel_palette_maker STATIC ${CMAKE_CURRENT_LIST_DIR}/palette_maker.cpp)
add_executable(quennel-palette ${CMAKE_CURRENT_LIST_DIR}/quennel_palette.cpp)
target_include_directories(quennel-palette SYSTEM PRIVATE ${QUENNEL_STB_INCLUDE})
target_link_libraries(quennel-palette PRIVATE quennel_palette_maker)
