# ravelle_write_game_desktop_entry(FILE folder): writes the game's desktop
# entry to FILE for a game installed in folder. Used at install time
# (RavelleInstall.cmake) and by the test install.game_desktop_entry.
#
# Exec is a command line: the path is quoted, with the characters the
# desktop-entry rules name escaped inside the quotes, and every backslash
# doubled once more for the entry's string value.
function(ravelle_write_game_desktop_entry file folder)
  set(program "${folder}/RavelleGame")
  string(REPLACE "\\" "\\\\" program "${program}")
  string(REPLACE "\"" "\\\"" program "${program}")
  string(REPLACE "`" "\\`" program "${program}")
  string(REPLACE "$" "\\$" program "${program}")
  string(REPLACE "\\" "\\\\" program "${program}")
  file(WRITE "${file}"
"[Desktop Entry]
Type=Application
Name=Ravelle
GenericName=Jigsaw Puzzle
GenericName[fr]=Casse-tête
Comment=Solve 3D jigsaw puzzles made from your pictures
Comment[fr]=Résolvez des casse-têtes 3D faits de vos images
Exec=\"${program}\"
Icon=ravelle-game
Terminal=false
Categories=Game;LogicGame;
")
endfunction()
