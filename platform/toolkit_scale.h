#pragma once
// The scale factor the environment may set for the toolkit, for every
// screen (QT_SCALE_FACTOR=2) or for each screen (QT_SCREEN_SCALE_FACTORS,
// by order "2;1.5" or by name "DP-1=2;HDMI-1=1"). The toolkit takes any
// number there, and one out of reason (0, a negative, not finite, a
// billion) makes windows of no size or of sizes the X server cannot hold:
// no window shows and the program waits for ever. Both programs therefore
// drop such a setting before the toolkit starts, say so in one line on the
// error output, and start at the desktop's own factor.
//
// A usable factor is a finite number from kMinToolkitScale to
// kMaxToolkitScale: at a half the menus' and dialogs' texts are 6 pixels
// high, the least that can still be read; at eight the largest screens
// sold (7680 pixels wide) still hold 960 logical pixels, the width the
// start screen and the dialogs are laid out for.
//
// Sections: toolkit scale
#include <cstdio>
#include <string_view>

// ---- toolkit scale -------------------------------------------------------------------------------
inline constexpr double kMinToolkitScale = 0.5;
inline constexpr double kMaxToolkitScale = 8.0;

// Whether a value of QT_SCALE_FACTOR (perScreen false) or of
// QT_SCREEN_SCALE_FACTORS (true) is usable: a number (spaces around it and
// a leading + allowed) in the range; for each screen, every entry between
// the semicolons, after its "name=" when it has one (empty entries, which
// the toolkit skips, are allowed; an empty list is not).
bool UsableToolkitScale(std::string_view value, bool perScreen);

// Removes each of the two variables whose value is set, not empty and not
// usable from the environment, with one line on `err` for each, headed by
// the program's name. Call it before the toolkit starts (it reads the
// variables once, at its start); not thread-safe, as no environment
// change is.
void DropUnusableToolkitScale(const char* program, std::FILE* err = stderr);
