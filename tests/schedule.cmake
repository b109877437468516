quennel_add_test(sun_test SOURCES sun_test.cpp LIBS quennel_schedule)
if(NOT WIN32)
  # The second computation of the sun's times, for the tests that run the
  # program, checked against the published tables too.
  add_test(NAME SunOracle.PublishedTables
           COMMAND /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/sun_oracle_test.sh ${CMAKE_CURRENT_SOURCE_DIR}/sun_oracle.py)
endif()
