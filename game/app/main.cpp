// RavelleGame: the game program.
#include "game/app/game_app.h"

int main(int argc, char** argv) { return RunRavelleGame(argc, argv); }
