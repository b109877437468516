# The art decoder: its stages, the driver with the encoder's round trips, and
# damaged files run through a probe program.
add_library(quennel_art_testing STATIC art_testing.cpp)
target_link_libraries(quennel_art_testing PUBLIC quennel_art_encoder GTest::gtest)
# The kept art files of the golden renderings.
target_compile_definitions(quennel_art_testing PRIVATE QUENNEL_GOLDEN_FOLDER="${CMAKE_CURRENT_SOURCE_DIR}/golden")

quennel_add_test(decoder_stages_test SOURCES decoder_stages_test.cpp LIBS quennel_decoder)
quennel_add_test(decoder_test SOURCES decoder_test.cpp LIBS quennel_art_testing quennel_palette_maker quennel_testing)

quennel_add_test(art_encoder_test SOURCES art_encoder_test.cpp LIBS quennel_art_testing quennel_testing)

add_executable(art_probe art_probe.cpp)
target_link_libraries(art_probe PRIVATE quennel_decoder)
quennel_add_test(art_files_test SOURCES art_files_test.cpp LIBS quennel_art_testing quennel_testing)
add_dependencies(art_files_test art_probe)
