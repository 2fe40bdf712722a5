# Builds the fuzz targets in their own build directory with clang, or runs one of them for a while
# on the corpus kept in the repository. Called by CTest:
#   cmake -DMODE=build -DSOURCE_DIR=... -DBUILD_DIR=... -DCLANGXX=... -P run_fuzz.cmake
#   cmake -DMODE=run -DTARGET=dxg|script -DSOURCE_DIR=... -DBUILD_DIR=... -DSECONDS=60 -P run_fuzz.cmake
# Prints FUZZ-SKIPPED (which the tests treat as a skip) when clang or libFuzzer is missing.
# New inputs the fuzzer finds go to BUILD_DIR/corpus-TARGET, never into the repository; a
# crashing input is left in BUILD_DIR as crash-* and shown in the output.
if(NOT SECONDS)
  set(SECONDS 60)
endif()

if(MODE STREQUAL "build")
  file(REMOVE ${BUILD_DIR}/fuzz-skipped)
  if(NOT CLANGXX)
    file(MAKE_DIRECTORY ${BUILD_DIR})
    file(WRITE ${BUILD_DIR}/fuzz-skipped "no clang++ found")
    message("FUZZ-SKIPPED: no clang++ found")
    return()
  endif()
  file(MAKE_DIRECTORY ${BUILD_DIR})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -DCMAKE_CXX_COMPILER=${CLANGXX}
            -DCMAKE_BUILD_TYPE=RelWithDebInfo
    RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rv EQUAL 0)
    if(out MATCHES "FUZZ-UNSUPPORTED")
      file(WRITE ${BUILD_DIR}/fuzz-skipped "${CLANGXX} cannot build libFuzzer targets")
      message("FUZZ-SKIPPED: ${CLANGXX} cannot build libFuzzer targets")
      return()
    endif()
    message(FATAL_ERROR "configuring the fuzz targets failed:\n${out}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} -j2
                  RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rv EQUAL 0)
    message(FATAL_ERROR "building the fuzz targets failed:\n${out}")
  endif()
  # The collection-file target also starts from sample files made by the writers of this version.
  set(SEEDS ${BUILD_DIR}/seeds-dxg)
  file(REMOVE_RECURSE ${SEEDS})
  file(MAKE_DIRECTORY ${SEEDS})
  execute_process(COMMAND ${BUILD_DIR}/make_corpus ${SEEDS} RESULT_VARIABLE rv)
  if(NOT rv EQUAL 0)
    message(FATAL_ERROR "making the seed corpus failed")
  endif()
  message("fuzz targets built")
  return()
endif()

if(NOT MODE STREQUAL "run" OR NOT TARGET)
  message(FATAL_ERROR "run_fuzz.cmake: MODE=build, or MODE=run with TARGET=dxg|script")
endif()
if(EXISTS ${BUILD_DIR}/fuzz-skipped)
  file(READ ${BUILD_DIR}/fuzz-skipped why)
  message("FUZZ-SKIPPED: ${why}")
  return()
endif()
set(program ${BUILD_DIR}/fuzz_${TARGET})
if(NOT EXISTS ${program})
  message(FATAL_ERROR "${program} was not built")
endif()
set(WORK ${BUILD_DIR}/corpus-${TARGET})
file(MAKE_DIRECTORY ${WORK})
set(corpora ${WORK} ${SOURCE_DIR}/corpus/${TARGET})
if(EXISTS ${BUILD_DIR}/seeds-${TARGET})
  list(APPEND corpora ${BUILD_DIR}/seeds-${TARGET})
endif()
execute_process(
  COMMAND ${program} ${corpora} -max_total_time=${SECONDS} -max_len=8192 -timeout=10
          -malloc_limit_mb=512 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${BUILD_DIR}/
  RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX MATCH "stat::number_of_executed_units: *[0-9]+" runs "${out}")
string(REGEX MATCH "stat::peak_rss_mb: *[0-9]+" rss "${out}")
message("fuzz_${TARGET}: ${runs}, ${rss}")
if(NOT rv EQUAL 0)
  message(FATAL_ERROR "fuzz_${TARGET} found a fault (the input is in ${BUILD_DIR}):\n${out}")
endif()
