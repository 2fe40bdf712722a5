# Configures and builds the program and its tests with AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer in BUILD_DIR, then runs that tree's test suite, the soak included (the fuzz
# targets carry their own sanitizers and run in the normal tree).
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... [-DCXX=clang++ -DCC=clang] -P run_sanitized.cmake
# clang builds this tree faster than gcc here; without it the default compiler is used.
set(compilers "")
if(CXX AND CC)
  set(compilers -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_C_COMPILER=${CC})
endif()
if(NOT JOBS)
  set(JOBS 2)
endif()

string(TIMESTAMP started "%s")
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} ${compilers} -DCMAKE_BUILD_TYPE=Release
          -DORBITA_SANITIZE=ON -DORBITA_BENCH=OFF
  RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rv EQUAL 0)
  message(FATAL_ERROR "configuring the sanitizer build failed:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} -j${JOBS}
                RESULT_VARIABLE rv OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rv EQUAL 0)
  message(FATAL_ERROR "building the sanitizer tree failed:\n${out}")
endif()
string(TIMESTAMP built "%s")
math(EXPR seconds "${built} - ${started}")
message("sanitizer build: ${seconds} s")

execute_process(COMMAND ${CMAKE_CTEST_COMMAND} -j${JOBS} --output-on-failure
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE rv)
string(TIMESTAMP done "%s")
# The soak's summary, from the sanitizer tree's test log.
if(EXISTS ${BUILD_DIR}/Testing/Temporary/LastTest.log)
  file(STRINGS ${BUILD_DIR}/Testing/Temporary/LastTest.log soakLines REGEX "^(segment [0-9]|soak:|  FAULT)")
  foreach(line ${soakLines})
    message("${line}")
  endforeach()
endif()
math(EXPR seconds "${done} - ${built}")
message("sanitizer test suite with the soak: ${seconds} s")
if(NOT rv EQUAL 0)
  message(FATAL_ERROR "the sanitizer build's tests failed (see above; the soak's files are in ${BUILD_DIR}/soak)")
endif()
