# Sanitizer builds: the leak checker stays on for the real window under Xvfb, and a tiny program
# linked as the game is shows that a leak of our own is still reported there while the display
# libraries and the GL driver report nothing.
find_program(XVFB_RUN xvfb-run)
if(ORBITA_SANITIZE AND XVFB_RUN)
  add_executable(leak_report_check ${CMAKE_CURRENT_SOURCE_DIR}/sanitize/LeakReportTest.cpp)
  target_link_libraries(leak_report_check PRIVATE orbita_platform)
  add_test(NAME xvfb_leaks_clean COMMAND ${ORBITA_XVFB_TURN} ${XVFB_RUN} -a $<TARGET_FILE:leak_report_check> clean)
  set_tests_properties(xvfb_leaks_clean PROPERTIES TIMEOUT 300 RESOURCE_LOCK orbita_xvfb
    PASS_REGULAR_EXPRESSION "window opened and closed"
    FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error:")
  add_test(NAME xvfb_leaks_own_reported
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/sanitize/expect_leak.sh ${ORBITA_XVFB_TURN} ${XVFB_RUN} -a $<TARGET_FILE:leak_report_check> leak)
  set_tests_properties(xvfb_leaks_own_reported PROPERTIES TIMEOUT 300 RESOURCE_LOCK orbita_xvfb)
endif()
