quennel_add_test(install_test SOURCES install_test.cpp LIBS quennel_install quennel_testing SERIAL)
if(NOT WIN32)
  quennel_add_test(install_order_test SOURCES install_order_test.cpp LIBS quennel_install quennel_testing)
endif()
