# Builds the fuzz target in its own build directory with clang and runs it for a while.
# Called by CTest:  cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DCLANGXX=... -DSECONDS=60 -P run_fuzz.cmake
# Prints FUZZ-SKIPPED (which the test treats as a skip) when clang or libFuzzer is missing.
if(NOT CLANGXX)
  message("FUZZ-SKIPPED: no clang++ found")
  return()
endif()
if(NOT SECONDS)
  set(SECONDS 60)
endif()

file(MAKE_DIRECTORY ${BUILD_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -DCMAKE_CXX_COMPILER=${CLANGXX}
          -DCMAKE_BUILD_TYPE=RelWithDebInfo
  RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rv EQUAL 0)
  if(out MATCHES "FUZZ-UNSUPPORTED")
    message("FUZZ-SKIPPED: ${CLANGXX} cannot build libFuzzer targets")
    return()
  endif()
  message(FATAL_ERROR "configuring the fuzz target failed:\n${out}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} -j2
                RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rv EQUAL 0)
  message(FATAL_ERROR "building the fuzz target failed:\n${out}")
endif()

set(SEEDS ${BUILD_DIR}/seeds)
set(WORK ${BUILD_DIR}/corpus)
file(REMOVE_RECURSE ${SEEDS})
file(MAKE_DIRECTORY ${SEEDS} ${WORK})
execute_process(COMMAND ${BUILD_DIR}/make_corpus ${SEEDS} RESULT_VARIABLE rv)
if(NOT rv EQUAL 0)
  message(FATAL_ERROR "making the seed corpus failed")
endif()

execute_process(
  COMMAND ${BUILD_DIR}/fuzz_dxg ${WORK} ${SEEDS} -max_total_time=${SECONDS} -max_len=8192
          -malloc_limit_mb=512 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${BUILD_DIR}/
  RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX MATCH "stat::number_of_executed_units: *[0-9]+" runs "${out}")
message("fuzz_dxg: ${runs}")
if(NOT rv EQUAL 0)
  message(FATAL_ERROR "fuzz_dxg found a fault (artifacts in ${BUILD_DIR}):\n${out}")
endif()
