# The art tool and the art encoder behind it (which the decoder's tests use).
add_library(quennel_art_encoder STATIC
  art/artencode.cpp        # the options' checks, the layouts weighed
  art/encode_prepare.cpp   # planes into one weighted stream; the file and its header
  art/encode_colour.cpp    # pixels to Y, U, V planes
  art/encode_wavelet.cpp   # forward transform, the synthesis's range check
  art/encode_rdo.cpp       # rate-distortion quantisation
  art/encode_plain.cpp     # the plain quantiser, the stream's ranges
  art/encode_sample.cpp    # rate control's trials on a sample of the stream
  art/encode_rate.cpp      # whole passes and rate control
  art/encode_stream.cpp)   # control bytes and the Huffman code
# The encoder's inner loops, optimised in every build.
# Floating-point comparisons are taken not to trap, so that the quantiser's
# loops of comparisons vectorise; the arithmetic is the same.
target_compile_options(quennel_art_encoder PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O3> -fno-trapping-math)
target_link_libraries(quennel_art_encoder PUBLIC quennel_decoder)

add_library(quennel_picture STATIC art/picture.cpp)
target_include_directories(quennel_picture SYSTEM PRIVATE ${QUENNEL_STB_INCLUDE})

add_executable(quennel-art art/quennel_art.cpp)
target_link_libraries(quennel-art PRIVATE quennel_art_encoder quennel_picture quennel_wallpaper)

# The five wallpapers: the painter (also used by the tests, which paint the
# pictures again to measure the art against them) and quennel-wallart, which
# encodes them. Their art and palette files are kept in data/art, because
# painting and encoding all five takes longer than a build should wait;
# quennel_art_regenerate (native build, not part of "all") remakes them and
# the contact sheet docs/art-preview.png.
add_library(quennel_wallart STATIC
  wallart/painter.cpp      # the float picture, distances, noise
  wallart/scenes.cpp       # the composition the five share, and their looks
  wallart/air.cpp          # stars, sparks, motes, bubbles, fireflies
  wallart/land.cpp         # the bands of land or sea
  wallart/symbols.cpp      # moon, flame, sun, drop, tree
  wallart/measure.cpp)     # the blurred error of a reduced picture
# Painted pixel by pixel: always optimised, also in debug and sanitizer builds.
target_compile_options(quennel_wallart PRIVATE -O2)

if(NOT WIN32)
  add_executable(quennel-wallart wallart/main.cpp)
  target_link_libraries(quennel-wallart PRIVATE quennel_wallart quennel_art_encoder quennel_palette_maker
                        quennel_picture quennel_platform)
  add_custom_target(quennel_art_regenerate
    COMMAND quennel-wallart ${CMAKE_SOURCE_DIR}/data/art --sheet ${CMAKE_SOURCE_DIR}/docs/art-preview.png
    DEPENDS quennel-wallart
    COMMENT "Painting and encoding the five wallpapers into data/art"
    VERBATIM)
endif()
