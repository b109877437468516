# The screen saver, in this process and as the real ZORVA.SCR (Windows build only).
if(WIN32)
  quennel_add_test(saver_test SOURCES saver_test.cpp LIBS quennel_saver quennel_testart SERIAL)
  add_dependencies(saver_test ZorvaSaver)
endif()
