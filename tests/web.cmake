# The browser build played in headless Chromium against the native headless program: same
# state dumps and pictures at every checked tick. Skipped (exit status 77) where Emscripten
# or Chromium is missing; ./test installs both.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND AND NOT ORBITA_SANITIZE)
  add_test(NAME web_browser_same_game
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/web/BrowserTest.py
            --source ${CMAKE_SOURCE_DIR} --native ${CMAKE_BINARY_DIR} --web ${CMAKE_BINARY_DIR}/web-build)
  set_tests_properties(web_browser_same_game PROPERTIES LABELS web SKIP_RETURN_CODE 77 TIMEOUT 900
    RESOURCE_LOCK orbita_web)
endif()
