#pragma once
// The help window: HTML help pages shown in one reusable window per program,
// the stand-in for the compiled help viewer. Both programs open their topics
// through it; which page a topic is stays with the caller.
//
// The window reads like a help reader: Back, Forward and Home buttons (also
// Alt+Left, Alt+Right and Alt+Home), Escape closes it, and its title follows
// the page shown. Home is the page last asked for. Opened while a modal
// dialog runs (a dialog's Help button), it stays usable: that dialog does not
// block it, and it outlives the dialog.
//
// Sections: showing pages
#include <string>

class QTextBrowser;
class QWidget;

// The button texts, in the caller's language.
struct HelpViewerTexts {
  std::string back = "Back";
  std::string forward = "Forward";
  std::string home = "Home";
};

// ---- showing pages ---------------------------------------------------------------------------
// Shows the page (the window is made on first use, then reused, raised and
// given the focus); the title is the page's <title>, else fallbackTitle.
// False, showing nothing, when the file is not there, is not a regular file
// or is larger than 4 MB. Needs the Qt application.
bool ShowHelpPage(const std::string& file, const std::string& fallbackTitle,
                  const HelpViewerTexts& texts = {});
// The help window; null until a page was shown (or after it was closed).
QWidget* HelpViewerWindow();
// Its page view; null when there is no window.
QTextBrowser* HelpViewerBrowser();
