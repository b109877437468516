if(NOT WIN32)
  quennel_add_test(mainlogic_test SOURCES mainlogic_test.cpp LIBS quennel_mainlogic quennel_testing)
endif()
quennel_add_test(layout_test SOURCES layout_test.cpp LIBS quennel_mainlogic)
