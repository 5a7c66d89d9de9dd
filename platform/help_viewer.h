#pragma once
// The help window: HTML help pages shown in one reusable browser window, the
// stand-in for the compiled help viewer. Both programs open their topics
// through it; which page a topic is stays with the caller.
#include <string>

class QTextBrowser;

// Shows the page (made on first use, then reused and raised); its title is
// the page's <title>, else fallbackTitle. False, showing nothing, when the
// file is not there, is not a regular file or is larger than 4 MB. Needs the
// Qt application.
bool ShowHelpPage(const std::string& file, const std::string& fallbackTitle);
// The help window; null until a page was shown (or after it was closed).
QTextBrowser* HelpViewerWindow();
