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
