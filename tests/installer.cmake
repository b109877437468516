if(WIN32)
  # Both tests know the version the build gives the files.
  set(version_defines "QUENNEL_VERSION=\"${QUENNEL_VERSION}\"" QUENNEL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
      QUENNEL_VERSION_MINOR=${PROJECT_VERSION_MINOR} QUENNEL_VERSION_PATCH=${PROJECT_VERSION_PATCH})

  quennel_add_test(installer_test SOURCES installer_test.cpp LIBS quennel_testing SERIAL)
  target_compile_definitions(installer_test PRIVATE ${version_defines})
  add_dependencies(installer_test installer)

  # The version records of the program, the screen saver and the installer;
  # a Release build's program files carry no symbols.
  quennel_add_test(version_test SOURCES version_test.cpp LIBS quennel_testing version)
  target_compile_definitions(version_test PRIVATE ${version_defines} $<$<CONFIG:Release,MinSizeRel>:QUENNEL_STRIPPED>)
  add_dependencies(version_test installer)
endif()
