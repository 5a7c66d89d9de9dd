// RavelleGame: the game program.
#include "game/game_app.h"

int main(int argc, char** argv) { return RunRavelleGame(argc, argv); }
