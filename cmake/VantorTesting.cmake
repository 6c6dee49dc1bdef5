# vantor_add_gtest(NAME SOURCES src... LIBS lib... [XVFB] [LABELS l...])
#
# One GoogleTest executable, registered as one CTest test. Every test runs with
# VANTOR_HEADLESS=1 (no message box can block) and the dummy SDL audio driver.
# XVFB wraps the executable in xvfb-run, for tests that need a real X window.
function(vantor_add_gtest name)
  cmake_parse_arguments(T "XVFB" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT VANTOR_BUILD_TESTS)
    return()
  endif()
  find_package(GTest REQUIRED)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VANTOR_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    VANTOR_SHARED_DATA_DIR="${PROJECT_SOURCE_DIR}/../shared/data")
  if(T_XVFB)
    find_program(XVFB_RUN xvfb-run REQUIRED)
    add_test(NAME ${name}
             COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "VANTOR_HEADLESS=1;SDL_AUDIODRIVER=dummy;SDL_HINT_NO_SIGNAL_HANDLERS=1"
    TIMEOUT 600
    LABELS "${T_LABELS}")
endfunction()
