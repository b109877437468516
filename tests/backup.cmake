add_executable(backup_probe backup_probe.cpp)
target_link_libraries(backup_probe PRIVATE quennel_backup quennel_base)

if(WIN32)
  quennel_add_test(backup_test SOURCES backup_test.cpp LIBS quennel_backup quennel_testing SERIAL)
else()
  # On the host the fault sweeps drive the main window's logic with the wallpaper job. The
  # sweeps run a process for every write and every fallible call: with the sanitizers on a
  # machine busy with other work, minutes.
  quennel_add_test(backup_test SOURCES backup_test.cpp LIBS quennel_backup quennel_mainlogic quennel_testart SERIAL
                   TIMEOUT 600)
endif()
add_dependencies(backup_test backup_probe)
if(NOT WIN32)
  add_executable(copy_probe copy_probe.cpp)
  target_link_libraries(copy_probe PRIVATE quennel_mainlogic quennel_base)
  add_dependencies(backup_test copy_probe)
endif()
