quennel_add_test(wallpaper_test SOURCES wallpaper_test.cpp
                 LIBS quennel_mainlogic quennel_wallpaper quennel_testart SERIAL)
if(NOT WIN32)
  # The bitmaps of `quennel-art render`, read back by Pillow and ImageMagick.
  add_test(NAME BitmapReaders
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/bitmap_readers.py
                   $<TARGET_FILE:quennel-art> $<TARGET_FILE:quennel-palette> ${CMAKE_CURRENT_BINARY_DIR}/readers)
  set_tests_properties(BitmapReaders PROPERTIES TIMEOUT 300)
  find_program(QUENNEL_CONVERT convert)
  if(QUENNEL_CONVERT)
    add_test(NAME ArtTool.DamagedPalettesAndOneRowArt
             COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:quennel-art> -DCONVERT=${QUENNEL_CONVERT}
                     -DWORK=${CMAKE_CURRENT_BINARY_DIR}/art_tool -P ${CMAKE_CURRENT_SOURCE_DIR}/art_tool_test.cmake)
  endif()
endif()
quennel_add_test(monitors_test SOURCES monitors_test.cpp
                 LIBS quennel_mainlogic quennel_wallpaper quennel_testart quennel_art_testing SERIAL)
