#pragma once
// The game program's start-up and end: the string table, the single-instance
// guard, the main frame and the game object, the start-up sequence and the
// event loop. The main window shows (maximised) before the game starts, so
// that the windows the start opens by itself (the tutorial) come up in front
// of it. Answers the process's exit code: 0 after a normal end, when another
// instance was raised instead and when another one does not respond (the
// player was told); 1 when the start-up failed (its message was shown once
// and no window stays behind).
int RunRavelleGame(int argc, char** argv);
