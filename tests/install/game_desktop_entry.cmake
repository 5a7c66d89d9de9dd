# The game's desktop entry for an installation folder whose path holds a
# blank and a dollar sign: Exec names the program as one quoted argument and
# desktop-file-validate accepts the entry.
include(${ROOT}/cmake/RavelleGameDesktopEntry.cmake)
set(file "${WORK}/ravelle-game.desktop")
ravelle_write_game_desktop_entry("${file}" "/opt/my games/a$b/lib/ravelle")
file(STRINGS "${file}" exec REGEX "^Exec=")
set(expected "Exec=\"/opt/my games/a\\\\$b/lib/ravelle/RavelleGame\"")
if(NOT exec STREQUAL expected)
  message(FATAL_ERROR "wrong Exec line:\n  ${exec}\nwanted\n  ${expected}")
endif()
find_program(validator desktop-file-validate REQUIRED)
execute_process(COMMAND ${validator} "${file}" RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT status EQUAL 0 OR said MATCHES "error")
  message(FATAL_ERROR "desktop-file-validate refused the entry:\n${said}")
endif()
