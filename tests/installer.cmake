if(WIN32)
  # Both tests know the version the build gives the files.
  set(version_defines "QUENNEL_VERSION=\"${QUENNEL_VERSION}\"" QUENNEL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
      QUENNEL_VERSION_MINOR=${PROJECT_VERSION_MINOR} QUENNEL_VERSION_PATCH=${PROJECT_VERSION_PATCH})

  quennel_add_test(installer_test SOURCES installer_test.cpp LIBS quennel_testing SERIAL)
  target_compile_definitions(installer_test PRIVATE ${version_defines}
                             QUENNEL_MAX_INSTALL_FOLDER=${QUENNEL_MAX_INSTALL_FOLDER})
  add_dependencies(installer_test installer)
  # In the place of Wine's icacls, which changes nothing: it records what the
  # installer asks of it.
  add_executable(icacls_recorder icacls_recorder.cpp)
  target_link_options(icacls_recorder PRIVATE -municode)
  add_dependencies(installer_test icacls_recorder)

  # Two users, a Wine prefix each, sharing the installed program's folder.
  add_test(NAME Accounts.EachUserRevertsToTheirOwnSettings
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/accounts_test.sh
                   ${CMAKE_BINARY_DIR}/installer/DesktopQuennel-Setup.exe $<TARGET_FILE:program_driver>)
  set_tests_properties(Accounts.EachUserRevertsToTheirOwnSettings PROPERTIES TIMEOUT 600 RESOURCE_LOCK machine)
  add_dependencies(installer_test program_driver)

  # The version records of the program, the screen saver and the installer;
  # a Release build's program files carry no symbols.
  quennel_add_test(version_test SOURCES version_test.cpp LIBS quennel_testing version)
  target_compile_definitions(version_test PRIVATE ${version_defines} $<$<CONFIG:Release,MinSizeRel>:QUENNEL_STRIPPED>)
  add_dependencies(version_test installer)
endif()
