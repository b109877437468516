quennel_add_test(sun_test SOURCES sun_test.cpp LIBS quennel_schedule)
quennel_add_test(schedule_test SOURCES schedule_test.cpp LIBS quennel_mainlogic quennel_testing)
if(NOT WIN32)
  # The second computation of the sun's times, for the tests that run the
  # program, checked against the published tables too.
  add_test(NAME SunOracle.PublishedTables
           COMMAND /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/sun_oracle_test.sh ${CMAKE_CURRENT_SOURCE_DIR}/sun_oracle.py)
endif()
if(WIN32)
  # The program's sunrise and sunset at Greenwich against the second computation.
  add_test(NAME Schedule.SunAtGreenwich
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/schedule_sun_test.sh $<TARGET_FILE:DesktopQuennel>
                   ${CMAKE_CURRENT_SOURCE_DIR}/sun_oracle.py)
  set_tests_properties(Schedule.SunAtGreenwich PROPERTIES RESOURCE_LOCK machine)
endif()
