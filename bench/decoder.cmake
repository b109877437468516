# The art decoder's benchmark, with libjpeg beside it when it is there.
add_executable(decoder_bench decoder_bench.cpp)
target_link_libraries(decoder_bench PRIVATE quennel_art_encoder quennel_picture benchmark::benchmark)
find_package(JPEG QUIET)
if(JPEG_FOUND)
  target_compile_definitions(decoder_bench PRIVATE QUENNEL_BENCH_JPEG)
  target_link_libraries(decoder_bench PRIVATE JPEG::JPEG)
endif()
