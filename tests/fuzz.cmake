# The fuzz tests: fuzz/ is built with clang in its own build directory, then each target runs
# for about a minute on its corpus (fuzz/corpus/<target>). Skipped when clang++ or libFuzzer is
# missing. Sanitizer trees leave them out: the fuzz targets carry their own sanitizers.
if(ORBITA_SANITIZE)
  return()
endif()
find_program(ORBITA_CLANGXX NAMES clang++ clang++-18 clang++-17 clang++-16 clang++-15 clang++-14)
if(NOT ORBITA_CLANGXX)
  set(ORBITA_CLANGXX "")
  message(STATUS "clang++ not found: the fuzz tests will be skipped")
endif()
set(ORBITA_FUZZ_ARGS -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/fuzz -DBUILD_DIR=${CMAKE_BINARY_DIR}/fuzz
                     -DCLANGXX=${ORBITA_CLANGXX})
add_test(NAME fuzz_build
         COMMAND ${CMAKE_COMMAND} -DMODE=build ${ORBITA_FUZZ_ARGS} -P ${CMAKE_SOURCE_DIR}/fuzz/run_fuzz.cmake)
set_tests_properties(fuzz_build PROPERTIES TIMEOUT 600 LABELS fuzz FIXTURES_SETUP orbita_fuzz
                     SKIP_REGULAR_EXPRESSION "FUZZ-SKIPPED")
foreach(target dxg script)
  add_test(NAME fuzz_${target}
           COMMAND ${CMAKE_COMMAND} -DMODE=run -DTARGET=${target} -DSECONDS=60 ${ORBITA_FUZZ_ARGS}
                   -P ${CMAKE_SOURCE_DIR}/fuzz/run_fuzz.cmake)
  set_tests_properties(fuzz_${target} PROPERTIES TIMEOUT 600 LABELS fuzz FIXTURES_REQUIRED orbita_fuzz
                       SKIP_REGULAR_EXPRESSION "FUZZ-SKIPPED")
endforeach()
