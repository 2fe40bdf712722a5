# The page's CZ / EN choice in headless Chromium, with the page alone (no browser build).
# Skipped (exit status 77) where Chromium is missing.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND AND NOT ORBITA_SANITIZE)
  add_test(NAME page_language
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/web/PageLanguageTest.py --source ${CMAKE_SOURCE_DIR})
  set_tests_properties(page_language PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
