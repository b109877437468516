# The art encoder's speed on the painted 2048 x 1536 pictures.
add_executable(encoder_bench encoder_bench.cpp)
target_link_libraries(encoder_bench PRIVATE quennel_art_encoder quennel_test_pictures benchmark::benchmark)
