if(NOT WIN32)
  quennel_add_test(mainlogic_test SOURCES mainlogic_test.cpp LIBS quennel_mainlogic quennel_testart)
endif()
if(WIN32)
  # Helpers of the tests that drive the real program: a window of another
  # program that hangs, one that records the settings changes it is told of,
  # and a driver of the program for shell steps.
  add_executable(hung_window hung_window.cpp)
  add_executable(setting_listener setting_listener.cpp)
  add_executable(program_driver program_driver.cpp)
  target_link_options(program_driver PRIVATE -municode)

  quennel_add_test(gui_test SOURCES gui_test.cpp LIBS quennel_mainlogic quennel_testart SERIAL)
  add_dependencies(gui_test DesktopQuennel quennel_content_files hung_window setting_listener)
  # The program on a full disk: its tests are left out of the ordinary run and
  # run here, with the disk made full around them.
  add_test(NAME ProgramOnAFullDisk
           COMMAND /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/with_full_disk.sh $<TARGET_FILE:gui_test>
                   --gtest_also_run_disabled_tests --gtest_filter=ProgramOnAFullDisk.*
           WORKING_DIRECTORY $<TARGET_FILE_DIR:gui_test>)
  set_tests_properties(ProgramOnAFullDisk PROPERTIES TIMEOUT 240 RESOURCE_LOCK machine)
endif()
