#pragma once
// Xlib for the real-window tests, kept out of files that include Qt (Xlib's
// macros clash with Qt's names).

// True when some pixel (every 8th each way) of the root window's rectangle
// is not black.
bool RootHasPicture(int x, int y, int width, int height);
// A mapped, black top-level window; its id.
unsigned long CreateTestWindow(int x, int y, int width, int height);
void DestroyTestWindow(unsigned long window);
// True when another client holds both the keyboard and the pointer grab
// (tried for a moment from the root window, and given back when taken).
bool InputGrabbedElsewhere();
