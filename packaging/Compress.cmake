# Run by CPack after the staging install: compresses the manual pages and the changelog
# without a time stamp, so that the same tree gives the same package.
find_program(ORBITA_GZIP gzip REQUIRED)
file(GLOB_RECURSE pages ${CPACK_TEMPORARY_DIRECTORY}/*/share/man/*.6
                        ${CPACK_TEMPORARY_DIRECTORY}/*/share/doc/orbita/changelog)
foreach(f ${pages})
  execute_process(COMMAND ${ORBITA_GZIP} -9nf ${f} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${f} failed")
  endif()
endforeach()
