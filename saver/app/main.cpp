// Ravelle, the screen saver.
#include "saver/app/saver_app.h"

int main(int argc, char** argv) { return RunScreensaver(argc, argv); }
