# The layer rule, checked on the sources: the floors read app -> game -> media -> platform and
# each includes only the floors below it; SDL is included only in platform/, in the SDL
# back-end's own tests (tests/platform/) and in the benchmarks (bench/).
#   cmake -DROOT=<source tree> -P check_layers.cmake
# fails, naming every offending line. With -DSELFTEST=<scratch folder> it plants a stray SDL
# include and a game file that includes app/ in a scratch tree and fails unless the
# check finds both.
cmake_minimum_required(VERSION 3.16)

function(orbita_check_layers root out)
  set(faults "")
  file(GLOB_RECURSE sources RELATIVE ${root}
       ${root}/app/*.cpp ${root}/app/*.h ${root}/game/*.cpp ${root}/game/*.h
       ${root}/media/*.cpp ${root}/media/*.h ${root}/platform/*.cpp ${root}/platform/*.h
       ${root}/tools/*.cpp ${root}/tools/*.h ${root}/tests/*.cpp ${root}/tests/*.h
       ${root}/bench/*.cpp ${root}/bench/*.h ${root}/fuzz/*.cpp ${root}/fuzz/*.h)
  foreach(f ${sources})
    file(STRINGS ${root}/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    string(REGEX MATCH "^[^/]+" top ${f})
    foreach(line ${includes})
      # SDL (and its image library) only below the platform interface.
      if(line MATCHES "[<\"](SDL2/)?SDL[A-Za-z0-9_]*\\.h[>\"]")
        if(NOT f MATCHES "^(platform|tests/platform|bench)/")
          list(APPEND faults "${f}: SDL outside platform/: ${line}")
        endif()
      endif()
      # Each floor includes only the floors below it.
      set(forbidden "")
      if(top STREQUAL "platform")
        set(forbidden "media|game|app")
      elseif(top STREQUAL "media")
        set(forbidden "game|app")
      elseif(top STREQUAL "game")
        set(forbidden "app")
      endif()
      if(forbidden AND line MATCHES "[<\"](${forbidden})/")
        list(APPEND faults "${f}: ${top}/ includes a floor above it: ${line}")
      endif()
    endforeach()
  endforeach()
  set(${out} "${faults}" PARENT_SCOPE)
endfunction()

if(SELFTEST)
  file(REMOVE_RECURSE ${SELFTEST})
  file(WRITE ${SELFTEST}/media/Stray.cpp "#include <SDL.h>\n")
  file(WRITE ${SELFTEST}/game/Up.h "#include \"app/Driver.h\"\n")
  file(WRITE ${SELFTEST}/platform/sdl/Fine.cpp "#include <SDL.h>\n#include <SDL_image.h>\n")
  file(WRITE ${SELFTEST}/app/Fine.cpp "#include \"game/Main.h\"\n")
  orbita_check_layers(${SELFTEST} faults)
  list(LENGTH faults n)
  if(NOT n EQUAL 2 OR NOT faults MATCHES "media/Stray.cpp" OR NOT faults MATCHES "game/Up.h")
    message(FATAL_ERROR "the layer check missed a planted fault or blamed a right one: ${faults}")
  endif()
  message(STATUS "the layer check finds both planted faults")
  return()
endif()

orbita_check_layers(${ROOT} faults)
if(faults)
  string(REPLACE ";" "\n  " text "${faults}")
  message(FATAL_ERROR "The layer rule is broken:\n  ${text}")
endif()
message(STATUS "every include keeps to the layers")
