# Tests of the real SDL window path, run under a virtual X server when xvfb-run exists.
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  set(ORBITA_XVFB_SHOT ${CMAKE_BINARY_DIR}/xvfb-shot.png)
  # The program itself: a window, 40 ticks, a screenshot after the last one.
  add_test(NAME xvfb_window_clean
    COMMAND ${CMAKE_COMMAND} -E rm -f ${ORBITA_XVFB_SHOT})
  add_test(NAME xvfb_window_run
    COMMAND ${ORBITA_XVFB_TURN} ${XVFB_RUN} -a ${CMAKE_BINARY_DIR}/orbita --windowed --frames 40
            --screenshot 40:${ORBITA_XVFB_SHOT})
  add_test(NAME xvfb_window_check
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/xvfb_check.sh ${ORBITA_XVFB_SHOT})
  set_tests_properties(xvfb_window_clean PROPERTIES FIXTURES_SETUP orbita_xvfb_clean)
  set_tests_properties(xvfb_window_run PROPERTIES
    FIXTURES_REQUIRED orbita_xvfb_clean FIXTURES_SETUP orbita_xvfb_shot TIMEOUT 300
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} RESOURCE_LOCK orbita_xvfb
    # An error shown in a modal box would wait for a click that never comes. In sanitizer
    # builds the leak checker is on: the run must end without any report.
    # A temporary settings folder: a test never reads or writes the player's settings.
    ENVIRONMENT "ORBITA_NO_MESSAGE_BOX=1;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config"
    FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error:")
  set_tests_properties(xvfb_window_check PROPERTIES FIXTURES_REQUIRED orbita_xvfb_shot)

  # The SDL back-end's own tests, which skip themselves without a display.
  if(TARGET test_platform)
    add_test(NAME xvfb_platform_sdl
      # A screen with room for a window at scale 2 and its frame.
      COMMAND ${ORBITA_XVFB_TURN} ${XVFB_RUN} -a -s "-screen 0 1920x1080x24" $<TARGET_FILE:test_platform> --gtest_filter=SdlWindow.*)
    set_tests_properties(xvfb_platform_sdl PROPERTIES TIMEOUT 300 RESOURCE_LOCK orbita_xvfb
      FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error:")
  endif()
endif()
