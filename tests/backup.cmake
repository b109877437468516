quennel_add_test(backup_test SOURCES backup_test.cpp LIBS quennel_backup quennel_testing SERIAL)
