if(NOT WIN32)
  quennel_add_test(mainlogic_test SOURCES mainlogic_test.cpp LIBS quennel_mainlogic quennel_testart)
  quennel_add_test(dpiscale_test SOURCES dpiscale_test.cpp LIBS quennel_mainlogic quennel_testing)
endif()
if(WIN32)
  # Helpers of the tests that drive the real program: a window of another
  # program that hangs, one that records the settings changes it is told of,
  # and a driver of the program for shell steps.
  add_executable(hung_window hung_window.cpp)
  add_executable(setting_listener setting_listener.cpp)
  add_executable(program_driver program_driver.cpp)
  target_link_options(program_driver PRIVATE -municode)

  # oleacc and COM: the colour buttons read as a screen reader reads them.
  quennel_add_test(gui_test SOURCES gui_test.cpp LIBS quennel_mainlogic quennel_testart oleacc ole32 oleaut32 uuid
                   SERIAL)
  add_dependencies(gui_test DesktopQuennel quennel_content_files hung_window setting_listener)
  # The program on a full disk: its tests are left out of the ordinary run and
  # run here, with the disk made full around them.
  add_test(NAME ProgramOnAFullDisk
           COMMAND /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/with_full_disk.sh $<TARGET_FILE:gui_test>
                   --gtest_also_run_disabled_tests --gtest_filter=ProgramOnAFullDisk.*
           WORKING_DIRECTORY $<TARGET_FILE_DIR:gui_test>)
  set_tests_properties(ProgramOnAFullDisk PROPERTIES TIMEOUT 240 RESOURCE_LOCK machine)

  # The program on several monitors, at each depth, as Windows 10 (spanned)
  # and as Windows 7 (tiled), and on one monitor without Wine's virtual
  # desktop: each run with X servers and a prefix of its own
  # (tests/on_monitors.sh). The ordinary run, on one virtual desktop, leaves
  # the tests out.
  quennel_add_test(monitors_gui_test SOURCES monitors_gui_test.cpp LIBS quennel_testing quennel_testart SERIAL)
  add_dependencies(monitors_gui_test DesktopQuennel quennel-art)
  foreach(bed "24 1280x800,1024x768 win10" "16 1280x800,1024x768 win7" "8 1280x800,1024x768 win10"
              "24 1024x768 win10")
    separate_arguments(args UNIX_COMMAND "${bed}")
    list(GET args 0 depth)
    list(GET args 1 sizes)
    list(GET args 2 version)
    string(REPLACE "," "+" name "${sizes}x${depth}.${version}")
    add_test(NAME ProgramOnMonitors.${name}
             COMMAND /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/on_monitors.sh ${depth} ${sizes} ${version}
                     $<TARGET_FILE:monitors_gui_test> --gtest_also_run_disabled_tests
                     --gtest_filter=ProgramOnMonitors.*
             WORKING_DIRECTORY $<TARGET_FILE_DIR:monitors_gui_test>)
    set_tests_properties(ProgramOnMonitors.${name} PROPERTIES TIMEOUT 300 RESOURCE_LOCK machine)
  endforeach()
endif()
