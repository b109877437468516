quennel_add_test(sun_test SOURCES sun_test.cpp LIBS quennel_schedule)
