# ravelle_add_test_binary(NAME name SOURCES ... LIBS ...)
#
# One GoogleTest binary per source folder. Its cases are discovered into CTest
# and labelled by what they need, read off the suite name:
#   Suite_X11.Case        label x11: a display (GL, real windows); exits 77
#                         (skipped) when DISPLAY is not set; these run one
#                         at a time, since they share the pointer and focus
#   Suite_Offscreen.Case  label offscreen: Qt widgets; the test entry point
#                         sets QT_QPA_PLATFORM=offscreen and drops DISPLAY
#   Suite_Desktop.Case    label desktop: the whole programs on a desktop of
#                         the case's own (tests/desktop: a private Xvfb with
#                         openbox), never the shared display; no Qt
#                         application in the test; exits 77 (skipped) when
#                         Xvfb or openbox is missing
#   anything else         label none: pure logic, no Qt application
function(ravelle_add_test_binary)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ravelle_testkit)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    TEST_FILTER "-*_X11.*:*_Offscreen.*:*_Desktop.*"
    PROPERTIES LABELS none ENVIRONMENT "RAVELLE_TEST_NEEDS=none")
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    TEST_FILTER "*_Offscreen.*"
    PROPERTIES LABELS offscreen
               ENVIRONMENT "RAVELLE_TEST_NEEDS=offscreen")
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    TEST_FILTER "*_X11.*"
    PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 ENVIRONMENT "RAVELLE_TEST_NEEDS=x11"
               RESOURCE_LOCK x11_display)
  # Each case has its own display; they still take turns, so that the
  # programs' timing is not starved by one another.
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    TEST_FILTER "*_Desktop.*"
    PROPERTIES LABELS desktop SKIP_RETURN_CODE 77 ENVIRONMENT "RAVELLE_TEST_NEEDS=desktop"
               RESOURCE_LOCK desktop_programs TIMEOUT 180)
endfunction()
