# dw_add_gtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One GoogleTest executable, registered with CTest as one test. Tests run with
# their binary directory as working directory and under a CTest time-out, so a
# hang fails the run instead of blocking it.
function(dw_add_gtest name)
  if(NOT DW_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  # Unit tests live beside the code they test and may use its internal headers.
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()

# dw_test_program(<var> <target>)
# Sets <var> to the path by which a test starts the executable <target> as a
# process of its own. In a cross build that is a small host script that runs it
# under CMAKE_CROSSCOMPILING_EMULATOR: a test running under qemu-user cannot exec
# a foreign binary directly, as no binfmt handler is registered for it.
function(dw_test_program var target)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(${var} "$<TARGET_FILE:${target}>" PARENT_SCOPE)
    return()
  endif()
  list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}-emulated.sh)
  file(GENERATE OUTPUT ${script}
       CONTENT "#!/bin/sh\nexec ${emulator} \"$<TARGET_FILE:${target}>\" \"$@\"\n"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                        WORLD_READ WORLD_EXECUTE)
  set(${var} ${script} PARENT_SCOPE)
endfunction()

# dw_test_adopts_daemons(<test target>)
# For a test that makes itself a child subreaper (PR_SET_CHILD_SUBREAPER) so that
# the daemons it starts are re-parented to it. qemu-user rejects that prctl; in a
# cross build the test is started through a host helper that sets the flag, which
# survives the exec of the emulator.
function(dw_test_adopts_daemons test)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set_target_properties(${test} PROPERTIES CROSSCOMPILING_EMULATOR
      "${PROJECT_SOURCE_DIR}/cmake/toolchains/run_as_subreaper.py;${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
endfunction()
