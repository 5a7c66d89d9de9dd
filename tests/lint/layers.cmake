# The layer rule of docs/ARCHITECTURE.md for what the build cannot hold.
# The include roots (cmake/RavelleLayers.cmake) already keep a target from
# reaching a header it does not link; this scan adds what a link line cannot
# say:
#   - a room includes only the rooms its row of the layer table names, also
#     where a header of theirs would resolve through a PUBLIC link (the
#     dialogs reach engine/ through game/environment.h, but may not include
#     it themselves);
#   - Qt only in the rooms that may use it, and in platform's rooms only in
#     their .cpp files; OpenAL only in platform/sound's .cpp files; no Qt in
#     support/, the engine, the sound engine, the puzzle or the scenes;
#   - every project include names its path from the top ("engine/engine.h"):
#     no relative ("../") and no folder-less includes, which would be found
#     beside the including file and slip past the rule;
#   - only tests, benchmarks and tools include the recording device (no room
#     lists it);
#   - the game and the screen saver never include each other (neither lists
#     the other).
# -DROOT=<tree>    the tree to scan (its platform/, ..., saver/, data/)
# -DPRODUCTS=<file|file...>  also fail when a shipped program carries the
#                  recording device (found by its symbols)
# The cases it must catch are planted by tests/lint/layers_test.cmake.

cmake_minimum_required(VERSION 3.25)

# One room per target, first match wins:
#   "<target> ~ <path regex> ~ <may include> ~ <foreign>"
#   may include  the targets whose headers it may include, besides its own
#                (the layer table's last column)
#   foreign      which outside headers it may include: qt (Qt anywhere),
#                qt.cpp (Qt in .cpp files only), al.cpp, gl; "-" for none
set(lower_game "platform platform_d3d9 platform_input support resources engine sound puzzle")
set(rooms
  "platform_d3d9_gl ~ ^platform/d3d9/gl/ ~ platform platform_d3d9 ~ qt gl"
  "platform_d3d9_recording ~ ^platform/d3d9/recording/ ~ platform platform_d3d9 ~ qt.cpp"
  "platform_d3d9 ~ ^platform/d3d9/ ~ platform ~ qt.cpp"
  "platform_input ~ ^platform/input/ ~ platform ~ qt.cpp"
  "platform_sound ~ ^platform/sound/ ~ platform ~ al.cpp"
  "platform ~ ^platform/[^/]+$ ~ - ~ qt.cpp"
  "support_controls ~ ^support/controls/ ~ platform support ~ qt"
  "support ~ ^support/[^/]+$ ~ platform ~ -"
  "resources ~ ^resources/ ~ platform support ~ -"
  "engine ~ ^engine/ ~ platform platform_d3d9 platform_input support ~ -"
  "sound ~ ^sound/ ~ platform platform_sound support ~ -"
  "puzzle ~ ^puzzle/ ~ platform platform_d3d9 platform_input support engine ~ -"
  "game_app ~ ^game/app/ ~ ${lower_game} support_controls game game_dialogs platform_d3d9_gl ~ qt"
  "game_dialogs ~ ^game/dialogs/ ~ platform support support_controls resources puzzle game ~ qt"
  "game ~ ^game/((screens|saves)/)?[^/]+$ ~ ${lower_game} support_controls ~ qt"
  "saver_scenes ~ ^saver/scenes/ ~ platform platform_d3d9 support engine puzzle saver ~ -"
  "saver ~ ^saver/[^/]+$ ~ platform support resources ~ qt.cpp"
  "saver_dialogs ~ ^saver/dialogs/ ~ platform support support_controls resources saver ~ qt"
  "saver_app ~ ^saver/app/ ~ platform platform_d3d9 platform_d3d9_gl platform_input support support_controls resources engine sound puzzle saver saver_scenes saver_dialogs ~ qt"
  "ravelle_makedata ~ ^data/ ~ - ~ qt"
)

if(NOT IS_DIRECTORY "${ROOT}")
  message(FATAL_ERROR "ROOT (${ROOT}) is not a folder")
endif()
set(sources)
foreach(top platform support resources engine sound puzzle game saver data)
  file(GLOB_RECURSE found ${ROOT}/${top}/*.cpp ${ROOT}/${top}/*.h)
  list(APPEND sources ${found})
endforeach()
if(NOT sources)
  message(FATAL_ERROR "no sources found below ${ROOT}")
endif()

# The room (target) of a path, what it may include and which outside
# headers; room "" when no row holds the path.
function(find_room rel out_room out_allowed out_foreign)
  foreach(entry ${rooms})
    string(REGEX REPLACE " ~ " ";" fields "${entry}")
    list(GET fields 1 pattern)
    if(rel MATCHES "${pattern}")
      list(GET fields 0 room)
      list(GET fields 2 allowed)
      list(GET fields 3 foreign)
      string(REPLACE " " ";" allowed "${allowed}")
      string(REPLACE " " ";" foreign "${foreign}")
      set(${out_room} "${room}" PARENT_SCOPE)
      set(${out_allowed} "${allowed}" PARENT_SCOPE)
      set(${out_foreign} "${foreign}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out_room} "" PARENT_SCOPE)
endfunction()

# Why an include breaks the rule, or "" when it keeps it.
function(check_include rel room name allowed foreign out)
  get_filename_component(ext "${rel}" EXT)
  set(why "")
  if(name MATCHES "^<")
    if(name MATCHES "^<(Q[A-Za-z0-9_]*|Qt[A-Za-z]*/.*)>$")
      set(kind qt)
    elseif(name MATCHES "^<AL/")
      set(kind al)
    elseif(name MATCHES "^<(GL|epoxy)/")
      set(kind gl)
    else()
      set(${out} "" PARENT_SCOPE)
      return()
    endif()
    if(NOT kind IN_LIST foreign AND NOT (ext STREQUAL ".cpp" AND "${kind}.cpp" IN_LIST foreign))
      string(REPLACE "qt" "Qt" label "${kind}")
      string(REPLACE "al" "OpenAL" label "${label}")
      string(REPLACE "gl" "GL" label "${label}")
      if("${kind}.cpp" IN_LIST foreign)
        set(why "${label} headers only in this room's .cpp files")
      else()
        set(why "no ${label} headers in this room")
      endif()
    endif()
  else()
    string(REGEX REPLACE "^\"(.*)\"$" "\\1" path "${name}")
    get_filename_component(dir "${path}" DIRECTORY)
    if(path MATCHES "(^|/)\\.\\.?/")
      set(why "relative include: name the header from the top of the tree")
    elseif(dir STREQUAL "")
      set(why "include without its folder: name the header from the top of the tree")
    else()
      find_room("${path}" theirs unused_allowed unused_foreign)
      if(theirs STREQUAL "")
        set(why "a header of no layer")
      elseif(NOT theirs STREQUAL room AND NOT theirs IN_LIST allowed)
        set(why "${room} may not include ${theirs}")
      endif()
    endif()
  endif()
  set(${out} "${why}" PARENT_SCOPE)
endfunction()

set(offenders)
foreach(f ${sources})
  file(RELATIVE_PATH rel ${ROOT} ${f})
  find_room("${rel}" room allowed foreign)
  if(room STREQUAL "")
    list(APPEND offenders "${rel}: in no room of the layer table")
    continue()
  endif()
  file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*" "\\1" name "${line}")
    check_include("${rel}" "${room}" "${name}" "${allowed}" "${foreign}" why)
    if(why)
      list(APPEND offenders "${rel}: ${name}: ${why} (layer rule)")
    endif()
  endforeach()
endforeach()

string(REPLACE "|" ";" PRODUCTS "${PRODUCTS}")
foreach(program ${PRODUCTS})
  execute_process(COMMAND nm -C ${program} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed ERROR_QUIET)
  if(failed)
    list(APPEND offenders "${program}: cannot be read with nm")
  elseif(symbols MATCHES "RecordingScript::|RecordingWindow::|Direct3DCreate9Recording")
    list(APPEND offenders "${program}: carries the recording device")
  endif()
endforeach()

if(offenders)
  list(REMOVE_DUPLICATES offenders)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "layer rule broken:\n${text}")
endif()
