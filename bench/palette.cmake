# Row reduction over a screen-sized picture, in megapixels per second.
add_executable(palette_bench ${CMAKE_CURRENT_LIST_DIR}/palette_bench.cpp)
target_link_libraries(palette_bench PRIVATE quennel_palette quennel_palette_maker benchmark::benchmark)
