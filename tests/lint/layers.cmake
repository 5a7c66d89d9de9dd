# The layer rule of docs/ARCHITECTURE.md for what the build cannot hold.
# The link lines are the layer table: the build writes each room (target),
# its folders and the rooms on its link line to <build>/layers/graph.txt
# (cmake/RavelleLayers.cmake), and its include roots already keep a target
# from reaching a header it does not link. This scan adds what a link line
# cannot say:
#   - a room includes only the rooms on its own link line, also where a
#     header of theirs would resolve through a PUBLIC link (the dialogs reach
#     engine/ through game/environment.h, but may not include it
#     themselves);
#   - Qt only in the rooms that may use it, and in platform's rooms only in
#     their .cpp files; OpenAL only in platform/sound's .cpp files; no Qt in
#     support/, the engine, the sound engine, the puzzle or the scenes (the
#     list of outside headers below);
#   - every project include names its path from the top ("engine/engine.h"):
#     no relative ("../") and no folder-less includes, which would be found
#     beside the including file and slip past the rule;
#   - only tests, benchmarks and tools include the recording device (no room
#     links it);
#   - the game and the screen saver never include each other (neither links
#     the other).
# -DROOT=<tree>    the tree to scan (its platform/, ..., saver/, data/)
# -DGRAPH=<file>   the link graph the build wrote (<build>/layers/graph.txt)
# -DPRODUCTS=<file|file...>  also fail when a shipped program carries the
#                  recording device (found by its symbols)
# The cases it must catch are planted by tests/lint/layers_test.cmake.

cmake_minimum_required(VERSION 3.25)

# The outside headers a room may include, "<target> ~ <kinds>": qt (Qt
# anywhere), qt.cpp (Qt in .cpp files only), al.cpp (OpenAL in .cpp files
# only), gl. A room not listed may include none.
set(outside_headers
  "platform ~ qt.cpp"
  "platform_d3d9 ~ qt.cpp"
  "platform_d3d9_gl ~ qt gl"
  "platform_d3d9_recording ~ qt.cpp"
  "platform_input ~ qt.cpp"
  "platform_sound ~ al.cpp"
  "support_controls ~ qt"
  "game ~ qt"
  "game_dialogs ~ qt"
  "game_app ~ qt"
  "saver ~ qt.cpp"
  "saver_dialogs ~ qt"
  "saver_app ~ qt"
  "ravelle_makedata ~ qt"
)

# The rooms of the link graph (room_<target>_links, room_at_<folder>) and
# their outside headers (room_<target>_foreign).
include(${CMAKE_CURRENT_LIST_DIR}/layer_graph.cmake)
read_layer_graph("${GRAPH}")
foreach(room ${layer_rooms})
  set(room_${room}_foreign "")
endforeach()
foreach(entry ${outside_headers})
  string(REGEX REPLACE " ~ " ";" fields "${entry}")
  list(GET fields 0 room)
  list(GET fields 1 kinds)
  string(REPLACE " " ";" room_${room}_foreign "${kinds}")
endforeach()

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

# The room (target) of a path: the one that owns its folder; "" for none.
function(find_room rel out_room)
  get_filename_component(folder "${rel}" DIRECTORY)
  set(${out_room} "${room_at_${folder}}" PARENT_SCOPE)
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
      find_room("${path}" theirs)
      if(theirs STREQUAL "")
        set(why "a header of no layer")
      elseif(NOT theirs STREQUAL room AND NOT theirs IN_LIST allowed)
        set(why "${room} may not include ${theirs}: not on its link line")
      endif()
    endif()
  endif()
  set(${out} "${why}" PARENT_SCOPE)
endfunction()

set(offenders)
foreach(f ${sources})
  file(RELATIVE_PATH rel ${ROOT} ${f})
  find_room("${rel}" room)
  if(room STREQUAL "")
    list(APPEND offenders "${rel}: in no room of the link graph (no ravelle_layer_headers for its folder)")
    continue()
  endif()
  set(allowed "${room_${room}_links}")
  set(foreign "${room_${room}_foreign}")
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
