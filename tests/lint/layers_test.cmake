# The layer lint must keep catching what the include roots cannot: each case
# plants one include into a copy of a real source, alone in a scratch tree,
# and checks that tests/lint/layers.cmake fails and names that file and
# include; the permitted cases check that it does not cry wolf.
# The last case plants a wrong row into a copy of docs/ARCHITECTURE.md and
# checks that tests/lint/layer_table.cmake names it.
# -DROOT=<source tree> -DLINT=<layers.cmake> -DGRAPH=<the build's link graph>
# -DTABLE=<layer_table.cmake> -DWORK=<scratch folder>
cmake_minimum_required(VERSION 3.25)

# file ~ include ~ expected: "broken" or "kept"
set(cases
  "platform/sound/sound_types.h ~ <AL/al.h> ~ broken"
  "platform/sound/sound_device.cpp ~ <AL/al.h> ~ kept"
  "platform/input/input.h ~ <QWidget> ~ broken"
  "platform/clock.cpp ~ <QString> ~ kept"
  "support/support.cpp ~ <QString> ~ broken"
  "engine/engine.cpp ~ <QWidget> ~ broken"
  "engine/engine.cpp ~ \"platform/sound/sound_device.h\" ~ broken"
  "engine/engine.cpp ~ \"../game/game_profile.h\" ~ broken"
  "engine/engine.cpp ~ \"engine.h\" ~ broken"
  "sound/sound_manager.cpp ~ \"platform/d3d9/d3d9.h\" ~ broken"
  "sound/sound_manager.cpp ~ \"support/support.h\" ~ broken"
  "platform/d3d9/d3d9.cpp ~ \"platform/d3d9/gl/gl_device.h\" ~ broken"
  "platform/clock.cpp ~ \"platform/d3d9/d3d9.h\" ~ broken"
  "puzzle/puzzle_board.cpp ~ \"game/game_profile.h\" ~ broken"
  "puzzle/puzzle_board.cpp ~ \"engine/engine.h\" ~ kept"
  "game/dialogs/about_dialog.cpp ~ \"engine/engine.h\" ~ broken"
  "game/dialogs/about_dialog.cpp ~ \"game/game_profile.h\" ~ kept"
  "game/puzzle_game.cpp ~ \"game/app/main_frame.h\" ~ broken"
  "game/screens/play_screen.cpp ~ \"platform/d3d9/gl/gl_device.h\" ~ broken"
  "game/puzzle_game.cpp ~ \"platform/d3d9/recording/recording_device.h\" ~ broken"
  "game/puzzle_game.cpp ~ \"saver/picture_lists.h\" ~ broken"
  "saver/scenes/scene.cpp ~ \"saver/app/framework.h\" ~ broken"
  "saver/scenes/scene.cpp ~ \"saver/dialogs/dialog_pictures.h\" ~ broken"
  "saver/dialogs/about_dialog.cpp ~ \"saver/app/framework.h\" ~ broken"
  "saver/scenes/scene.cpp ~ \"saver/picture_lists.h\" ~ kept"
)

set(failures)
set(n 0)
foreach(entry ${cases})
  string(REGEX REPLACE " ~ " ";" fields "${entry}")
  list(GET fields 0 file)
  list(GET fields 1 include)
  list(GET fields 2 expected)
  if(NOT EXISTS ${ROOT}/${file})
    list(APPEND failures "${file}: no such source to plant into (moved? update the case)")
    continue()
  endif()
  math(EXPR n "${n} + 1")
  set(tree ${WORK}/case${n})
  file(REMOVE_RECURSE ${tree})
  file(READ ${ROOT}/${file} text)
  file(WRITE ${tree}/${file} "${text}\n#include ${include}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -DGRAPH=${GRAPH} -P ${LINT}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \t\n]+" " " said "${out}${err}")
  if(expected STREQUAL "kept" AND result)
    list(APPEND failures "${file}: ${include}: permitted, but the lint said: ${said}")
  elseif(expected STREQUAL "broken")
    string(FIND "${said}" "${file}: ${include}: " at)
    if(NOT result OR at EQUAL -1 OR NOT said MATCHES "layer rule")
      list(APPEND failures "${file}: ${include}: not caught (lint said: ${said})")
    endif()
  endif()
endforeach()

# A table row naming a link the build does not have.
set(row "| `sound/` | `sound` | the sound engine and the wave reader | `platform_sound`, `platform`")
file(READ ${ROOT}/docs/ARCHITECTURE.md doc)
string(FIND "${doc}" "${row}" at)
if(at EQUAL -1)
  list(APPEND failures "docs/ARCHITECTURE.md: no sound row to plant into (changed? update the case)")
else()
  string(REPLACE "${row}" "| `sound/` | `sound` | the sound engine | `platform_sound`, `platform`, `support`" doc "${doc}")
  file(WRITE ${WORK}/ARCHITECTURE.md "${doc}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DDOC=${WORK}/ARCHITECTURE.md -DGRAPH=${GRAPH} -P ${TABLE}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \t\n]+" " " said "${out}${err}")
  if(NOT result OR NOT said MATCHES "row `sound`: the table names the links \\[platform, platform_sound, support\\]")
    list(APPEND failures "a wrong row of the layer table not caught (layer_table said: ${said})")
  endif()
endif()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "the layer lint misses its cases:\n${text}")
endif()
message(STATUS "${n} planted includes judged as expected")
