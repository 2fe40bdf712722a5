# The collection-file fuzz test: builds fuzz/ with clang in its own build directory and
# runs the fuzz target for about a minute. Skipped when clang++ or libFuzzer is missing.
find_program(ORBITA_CLANGXX NAMES clang++ clang++-18 clang++-17 clang++-16 clang++-15 clang++-14)
if(NOT ORBITA_CLANGXX)
  set(ORBITA_CLANGXX "")
  message(STATUS "clang++ not found: the fuzz test will be skipped")
endif()
add_test(NAME fuzz_dxg_readers
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/fuzz -DBUILD_DIR=${CMAKE_BINARY_DIR}/fuzz
                 -DCLANGXX=${ORBITA_CLANGXX} -DSECONDS=60 -P ${CMAKE_SOURCE_DIR}/fuzz/run_fuzz.cmake)
set_tests_properties(fuzz_dxg_readers PROPERTIES TIMEOUT 900 LABELS fuzz
                     SKIP_REGULAR_EXPRESSION "FUZZ-SKIPPED")
