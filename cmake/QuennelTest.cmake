# GoogleTest from Debian's source package, built with this tree's flags (so the
# sanitizer and MinGW builds get their own), and one helper to add a test
# program: quennel_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [SERIAL]
# [TIMEOUT SECONDS]) (120 seconds a test unless given).
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

add_library(quennel_test_main STATIC ${CMAKE_SOURCE_DIR}/tests/test_main.cpp)
target_link_libraries(quennel_test_main PUBLIC GTest::gtest)

function(quennel_add_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} quennel_test_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_SERIAL OR WIN32)
    # Tests under Wine share one prefix and one desktop: never two at once.
    list(APPEND props RESOURCE_LOCK machine)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}> PROPERTIES ${props})
endfunction()
