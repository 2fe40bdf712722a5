# The desktop program's start and its documented example, and (under a virtual X server
# with a window manager) its window, bindings and menu by real key presses.
add_test(NAME desktop_no_display
  COMMAND sh -c "out=$(env -i ORBITA_NO_MESSAGE_BOX=1 \"$1\" 2>&1); rc=$?; echo \"$out\"; [ $rc -eq 1 ] && echo \"$out\" | grep -q -- --headless && [ $(echo \"$out\" | wc -l) -eq 1 ]; out=$(env -i \"$1\" --windowed 2>&1); [ $? -eq 1 ] && echo \"$out\" | grep -q -- --headless" sh $<TARGET_FILE:orbita>)
set_tests_properties(desktop_no_display PROPERTIES TIMEOUT 20)
add_test(NAME readme_script
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/readme_script.sh ${CMAKE_SOURCE_DIR}/README.md $<TARGET_FILE:orbita>)
set_tests_properties(readme_script PROPERTIES TIMEOUT 60)
add_test(NAME desktop_version
  COMMAND sh -c "\"$1\" --version | grep -q '^orbita ' && ! \"$1\" --headless --frames 3 --dump-state 5:/nonexistent/x.json 2>/dev/null" sh $<TARGET_FILE:orbita>)
find_program(XVFB_RUN_DESKTOP xvfb-run)
if(XVFB_RUN_DESKTOP)
  add_test(NAME xvfb_desktop_keys
    COMMAND ${ORBITA_XVFB_TURN} ${XVFB_RUN_DESKTOP} -a -s "-screen 0 1920x1080x24"
            sh ${CMAKE_CURRENT_SOURCE_DIR}/twice.sh ${CMAKE_CURRENT_SOURCE_DIR}/desktop_xvfb.sh $<TARGET_FILE:orbita>)
  set_tests_properties(xvfb_desktop_keys PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77
    RESOURCE_LOCK orbita_xvfb FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error:")
endif()

# Reads a window's pixels from the X server, for the focus test.
find_package(X11 QUIET)
if(XVFB_RUN_DESKTOP AND X11_FOUND)
  add_executable(orbita_xwindow_probe ${CMAKE_CURRENT_SOURCE_DIR}/platform/xwindow/XWindowProbe.cpp)
  target_link_libraries(orbita_xwindow_probe PRIVATE X11::X11)
  add_test(NAME xvfb_desktop_focus
    COMMAND ${ORBITA_XVFB_TURN} ${XVFB_RUN_DESKTOP} -a -s "-screen 0 1920x1080x24"
            sh ${CMAKE_CURRENT_SOURCE_DIR}/twice.sh ${CMAKE_CURRENT_SOURCE_DIR}/desktop_focus_xvfb.sh $<TARGET_FILE:orbita>
               $<TARGET_FILE:orbita_xwindow_probe>)
  set_tests_properties(xvfb_desktop_focus PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77
    RESOURCE_LOCK orbita_xvfb FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error:")
endif()
