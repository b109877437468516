quennel_add_test(wallpaper_test SOURCES wallpaper_test.cpp
                 LIBS quennel_mainlogic quennel_wallpaper quennel_testart SERIAL)
