# The art tool and the art encoder behind it (which the decoder's tests use).
add_library(quennel_art_encoder STATIC
  art/artencode.cpp        # geometry, offsets, header
  art/encode_colour.cpp    # pixels to Y, U, V planes
  art/encode_wavelet.cpp   # forward transform and quantisation
  art/encode_rdo.cpp      # rate-distortion quantisation
  art/encode_stream.cpp)   # control bytes and the Huffman code
target_link_libraries(quennel_art_encoder PUBLIC quennel_decoder)

add_library(quennel_picture STATIC art/picture.cpp)
target_include_directories(quennel_picture SYSTEM PRIVATE ${QUENNEL_STB_INCLUDE})

add_executable(quennel-art art/quennel_art.cpp)
target_link_libraries(quennel-art PRIVATE quennel_art_encoder quennel_picture quennel_wallpaper)
