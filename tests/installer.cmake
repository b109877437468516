if(WIN32)
  quennel_add_test(installer_test SOURCES installer_test.cpp LIBS quennel_testing SERIAL)
  add_dependencies(installer_test installer)
endif()
