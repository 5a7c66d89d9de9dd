# `cmake --install build [--prefix P]` lays out an installation under P:
#   P/lib/ravelle/            both programs, their data folders, the game's icon
#                             and Ravelle.machine.ini naming this folder as
#                             InstallDir (written at install time, so it
#                             follows --prefix and DESTDIR staging)
#   P/bin/RavelleGame, P/bin/Ravelle          links to the programs
#   P/share/applications/ravelle-game.desktop the game in the desktop's menus
#   P/share/icons/hicolor/128x128/apps/ravelle-game.png
# The build tree stays a complete installation of its own (build/bin).
set(RAVELLE_INSTALL_SUBDIR lib/ravelle)

install(TARGETS RavelleGame Ravelle RUNTIME DESTINATION ${RAVELLE_INSTALL_SUBDIR})
foreach(folder Textures Sounds PuzzleSamples Environments Tutorials Help LanguageFrench)
  install(DIRECTORY ${RAVELLE_INSTALL_DIR}/${folder} DESTINATION ${RAVELLE_INSTALL_SUBDIR} OPTIONAL)
endforeach()
install(FILES ${RAVELLE_INSTALL_DIR}/RavelleGame.png DESTINATION ${RAVELLE_INSTALL_SUBDIR})
install(FILES ${RAVELLE_INSTALL_DIR}/RavelleGame.png
        DESTINATION share/icons/hicolor/128x128/apps RENAME ravelle-game.png)

install(CODE "include(\"${CMAKE_CURRENT_LIST_DIR}/RavelleGameDesktopEntry.cmake\")")
install(CODE [[
  set(folder "${CMAKE_INSTALL_PREFIX}/lib/ravelle")
  set(staged "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  message(STATUS "Installing: ${staged}/lib/ravelle/Ravelle.machine.ini (InstallDir ${folder})")
  file(WRITE "${staged}/lib/ravelle/Ravelle.machine.ini" "[General]\nInstallDir=\"${folder}\"\n")
  file(MAKE_DIRECTORY "${staged}/bin")
  foreach(program RavelleGame Ravelle)
    file(CREATE_LINK "../lib/ravelle/${program}" "${staged}/bin/${program}" SYMBOLIC)
  endforeach()
  file(MAKE_DIRECTORY "${staged}/share/applications")
  message(STATUS "Installing: ${staged}/share/applications/ravelle-game.desktop")
  ravelle_write_game_desktop_entry("${staged}/share/applications/ravelle-game.desktop" "${folder}")
]])
