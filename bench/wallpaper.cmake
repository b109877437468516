# The whole job needs the tests' helpers (the painted art), which a build
# without the tests (the fuzz targets' build) does not have.
if(QUENNEL_TESTS)
  add_executable(wallpaper_bench ${CMAKE_CURRENT_LIST_DIR}/wallpaper_bench.cpp)
  target_link_libraries(wallpaper_bench PRIVATE quennel_wallpaper quennel_art_encoder quennel_testing benchmark::benchmark)
endif()
