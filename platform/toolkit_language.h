#pragma once
// The language of the toolkit's own texts: what the standard dialogs (file
// dialogs, message box buttons, the file dialog's questions) say by
// themselves. The programs switch it together with their own texts; the
// toolkit's translations come from its installed translation files
// (Debian: qt6-translations-l10n).
//
// Sections: toolkit language
#include <string>

// ---- toolkit language ----------------------------------------------------------------------------
// "french" puts the toolkit's French texts in place, anything else its
// built-in English ones; widgets that are open follow. false when French
// was asked for and its translation file could not be read (English stays).
// Does nothing without an application.
bool SetToolkitLanguage(const std::string& language);
