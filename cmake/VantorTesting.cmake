# vantor_add_gtest(NAME SOURCES src... LIBS lib... [SCREEN WxHxD] [LABELS l...])
#
# One GoogleTest executable, registered as one CTest test. Every test runs with
# VANTOR_HEADLESS=1 (no message box can block) and the dummy SDL audio driver.
# SCREEN runs the executable on a private Xvfb server with one screen of that
# size, for tests that need a real X window (see tests/support/with_xvfb.sh).
set(VANTOR_WITH_XVFB ${PROJECT_SOURCE_DIR}/tests/support/with_xvfb.sh)
set(VANTOR_TEST_ENVIRONMENT "VANTOR_HEADLESS=1;SDL_AUDIODRIVER=dummy;SDL_NO_SIGNAL_HANDLERS=1")

# vantor_reader_test_executable(target)
#
# Marks a test executable as one whose tests carry the `readers` label: the
# target vantor_reader_tests builds exactly these, so the sanitizer build
# (asan preset) compiles what its tests run and not the whole demo.
function(vantor_reader_test_executable target)
  set_property(GLOBAL APPEND PROPERTY VANTOR_READER_TEST_TARGETS ${target})
endfunction()

function(vantor_add_gtest name)
  cmake_parse_arguments(T "" "SCREEN" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT VANTOR_BUILD_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  vantor_headers(${name} PRIVATE TREES tests)
  target_compile_definitions(${name} PRIVATE VANTOR_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  if(T_SCREEN)
    add_test(NAME ${name} COMMAND ${VANTOR_WITH_XVFB} ${T_SCREEN} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${VANTOR_TEST_ENVIRONMENT}"
    TIMEOUT 600
    LABELS "${T_LABELS}")
  if("readers" IN_LIST T_LABELS)
    vantor_reader_test_executable(${name})
  endif()
endfunction()
