# The soak under the sanitizers. The soak program and the test of its input generator are
# built in every tree; the soak itself runs in sanitizer builds, and a normal build runs a
# sanitizer build of its own (tests/soak/run_sanitized.cmake), whose test suite includes it.
add_executable(orbita-soak ${CMAKE_CURRENT_SOURCE_DIR}/soak/SoakMain.cpp ${CMAKE_CURRENT_SOURCE_DIR}/soak/SoakScript.cpp)
add_executable(test_soak ${CMAKE_CURRENT_SOURCE_DIR}/soak/SoakScriptTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/soak/SoakScript.cpp)
target_link_libraries(test_soak PRIVATE orbita_app GTest::gtest GTest::gtest_main)
gtest_discover_tests(test_soak DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

if(ORBITA_SANITIZE)
  add_test(NAME sanitizer_soak
    COMMAND orbita-soak --program $<TARGET_FILE:orbita> --work ${CMAKE_BINARY_DIR}/soak --ticks 200000)
  set_tests_properties(sanitizer_soak PROPERTIES TIMEOUT 1500 LABELS soak
    PASS_REGULAR_EXPRESSION "no reports, memory flat")
else()
  find_program(ORBITA_SANITIZE_CXX NAMES clang++ clang++-14)
  find_program(ORBITA_SANITIZE_CC NAMES clang clang-14)
  add_test(NAME sanitizer_suite_and_soak
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DBUILD_DIR=${CMAKE_BINARY_DIR}/sanitize
            -DCXX=${ORBITA_SANITIZE_CXX} -DCC=${ORBITA_SANITIZE_CC}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/soak/run_sanitized.cmake)
  set_tests_properties(sanitizer_suite_and_soak PROPERTIES TIMEOUT 2400 LABELS sanitize)
endif()
