#pragma once
// Where the main window goes when it first shows: maximised under a window
// manager, with a restored size of its own that lies wholly on the screen;
// covering the screen where nothing maximises it (a bare X server).
//
// Sections: placement
#include <QRect>

class QWidget;

// ---- placement ---------------------------------------------------------------------------------
// The restored (un-maximised) frame of a window on a screen's available
// area: 4/5 of it each way, at least `minimum` where the area allows,
// centred, so the window and its decorations stay on the screen.
QRect RestoredGeometry(const QRect& available, const QSize& minimum);
// True when a window manager runs on the display (one that names itself on
// the root window); false off X11.
bool WindowManagerRunning();
// Shows `window` maximised with a restored geometry from RestoredGeometry,
// or over the whole available area without a window manager.
void ShowMaximisedOnScreen(QWidget& window, const QSize& minimum);
