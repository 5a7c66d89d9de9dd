#pragma once
// The built-in English string tables of the two programs. Each program
// installs its own with SetBuiltInStrings at start-up; the French texts live
// in LanguageFrench/<program>.strings in the installation folder.
#include "support/string_table.h"

const StringTable& GameStrings();
const StringTable& SaverStrings();

// String ids shared by the code of both programs.
enum : unsigned {
  IDS_PRODUCT_TITLE = 246,      // the plain product title
  IDS_APP_NAME = 57344,         // the application's display name
  IDS_SAVER_PRODUCT_TITLE = 2133,
  IDS_HELP_PAGE_MISSING = 9001,  // "%s": the page's path
};

// ---- saved games (game) ----------------------------------------------------------------------
enum : unsigned {
  IDS_SAVED_PUZZLE_FILTER = 9301,    // file dialogs' filter; "*.rvpuzzle"
  IDS_PUZZLE_SAVED = 9302,           // "%s": the file name
  IDS_PUZZLE_LOADED = 9303,
  IDS_SAVE_FAILED = 9304,            // "%s %s": the path, the reason
  IDS_SAVED_PUZZLE_DAMAGED = 9305,
  IDS_SAVED_PUZZLE_NEWER = 9306,
  IDS_SAVED_PICTURE_MISSING = 9307,  // "%s": the picture's path
  IDS_SAVED_PUZZLE_UNREADABLE = 9308,  // "%s %s": the path, the reason
};
// ---- end of saved games ------------------------------------------------------------------------
