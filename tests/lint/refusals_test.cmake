# A header the layer rule refuses stops the compile with the rule's own
# words: each case compiles one include with a room's real include path
# (as the build passes it) and checks that a refused header is named with
# the rule and where it is written, and that a permitted one compiles.
# -DCXX=<compiler> -DPATHS=<folder of include_path_<room>.txt> -DWORK=<scratch>
cmake_minimum_required(VERSION 3.25)

# room ~ header ~ expected: "refused" or "compiles"
set(cases
  "engine ~ game/game_profile.h ~ refused"
  "sound ~ platform/d3d9/d3d9.h ~ refused"
  "game ~ saver/picture_lists.h ~ refused"
  "saver_scenes ~ saver/app/framework.h ~ refused"
  "puzzle ~ engine/engine.h ~ compiles"
)

set(failures)
file(MAKE_DIRECTORY ${WORK})
foreach(entry ${cases})
  string(REGEX REPLACE " ~ " ";" fields "${entry}")
  list(GET fields 0 room)
  list(GET fields 1 header)
  list(GET fields 2 expected)
  file(STRINGS ${PATHS}/include_path_${room}.txt folders)
  set(flags)
  foreach(folder ${folders})
    list(APPEND flags -I${folder})
  endforeach()
  string(MAKE_C_IDENTIFIER "${room}_${header}" name)
  file(WRITE ${WORK}/${name}.cpp "#include \"${header}\"\n")
  # Without a sanitizer runtime a sanitized test run may preload: the
  # compiler's own leaks would fail it.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_PRELOAD
      ${CXX} -std=c++20 -fsyntax-only ${flags} ${WORK}/${name}.cpp
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expected STREQUAL "compiles" AND result)
    list(APPEND failures "${room}: ${header}: permitted, but the compiler said: ${err}")
  elseif(expected STREQUAL "refused")
    string(FIND "${err}" "layer rule: ${room} may not include ${header}" named)
    string(FIND "${err}" "docs/ARCHITECTURE.md" where)
    if(NOT result OR named EQUAL -1 OR where EQUAL -1)
      list(APPEND failures "${room}: ${header}: not refused by the layer rule (compiler said: ${err})")
    endif()
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "the include roots do not refuse as they should:\n${text}")
endif()
