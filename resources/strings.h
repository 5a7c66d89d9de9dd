#pragma once
// The built-in English string tables of the two programs. Each program
// installs its own with SetBuiltInStrings at start-up; the French texts live
// in LanguageFrench/<program>.strings in the installation folder.
#include "platform/help_viewer.h"
#include "support/string_table.h"

const StringTable& GameStrings();
const StringTable& SaverStrings();

// String ids shared by the code of both programs.
enum : unsigned {
  IDS_PRODUCT_TITLE = 246,  // the plain product title
  IDS_APP_NAME = 57344,     // the application's display name
  IDS_SAVER_PRODUCT_TITLE = 2133,
  IDS_HELP_PAGE_MISSING = 9001,  // "%s": the page's path
  IDS_HELP_BACK = 9002,          // the help window's buttons
  IDS_HELP_FORWARD = 9003,
  IDS_HELP_HOME = 9004,
  IDS_SETTINGS_NOT_SAVED = 9010,  // "%s %s": the settings file, one of the reasons below
  IDS_SETTINGS_LOCK_HELD = 9011,  // the reasons (resources/settings_saving.h)
  IDS_SETTINGS_NOT_REGULAR = 9012,
  IDS_SETTINGS_TOO_LARGE = 9013,
  IDS_SETTINGS_DISK = 9014,
};
// The legal warning of both about boxes: the game's string 226 and the
// screen saver's 2130 are this one text (and one French text).
inline constexpr const char* kLegalWarningText =
    "Warning: this program is protected by copyright law. Copying or distributing it, in whole or in "
    "part, without the written permission of Halvorn is forbidden and will be prosecuted.";

// The help window's button texts in the current language.
HelpViewerTexts HelpButtonTexts();

// ---- game dialogs --------------------------------------------------------------
// Texts of the game's dialogs (new puzzle, picture selection, change
// environment, options, game menu, about box, tutorials). The ids below 1000
// are shared with the rest of the game; the dialogs' own texts take the
// block 13000..14599, a hundred per dialog.
enum : unsigned {
  IDS_FOLDER_HAS_NO_IMAGES = 216,  // the one line of an empty picture list
  IDS_DEFINITION_VERY_LOW = 217,   // ... 220: "Very low", "Low", "Normal", "High"
  IDS_DEFINITION_LOW = 218,
  IDS_DEFINITION_NORMAL = 219,
  IDS_DEFINITION_HIGH = 220,
  IDS_SHAPE_CLASSIC = 221,  // ... 224: "Classic", "Square", "Round", "Random Mix"
  IDS_SHAPE_SQUARE = 222,
  IDS_SHAPE_ROUND = 223,
  IDS_SHAPE_RANDOM_MIX = 224,
  IDS_DIMENSION_LINE = 225,  // "%d X %d ( %d pieces )"
  IDS_LEGAL_WARNING = 226,
  IDS_IMAGE_SIZE = 236,  // "Image size = %d X %d pixels"
  IDS_PAGE_GENERAL = 238,
  IDS_PAGE_PIECES = 240,
  IDS_PAGE_NEW_VERSIONS = 270,
  IDS_DAYS = 271,                 // "%d days"
  IDS_PICTURE_FILE_FILTER = 275,  // "All Supported Files|*.bmp;...||"

  // Buttons and texts several dialogs share.
  IDS_DLG_HELP = 13000,
  IDS_DLG_OK = 13001,
  IDS_DLG_CANCEL = 13002,
  IDS_DLG_CLOSE = 13003,
  IDS_PICTURE_UNREADABLE = 13004,  // a preview's line for a picture that did not load
  // About box.
  IDS_ABOUT_TITLE = 13100,
  IDS_ABOUT_PRODUCT_INFORMATION = 13101,
  IDS_ABOUT_MAKER_PAGE_LABEL = 13102,
  IDS_ABOUT_MAKER_ADDRESS = 239,  // the home pages, as the product information gives them
  IDS_ABOUT_PRODUCT_PAGE_LABEL = 13104,
  IDS_ABOUT_PRODUCT_ADDRESS = 244,
  IDS_ABOUT_VERSION = 13106,  // "Version " (the version follows)
  // Change environment.
  IDS_ENV_TITLE = 13300,
  IDS_ENV_TABLE_APPEARANCE = 13301,
  IDS_ENV_SELECT_IMAGE = 13302,
  IDS_ENV_OPEN_PICTURE = 13303,  // caption of the file chooser
  // New puzzle.
  IDS_NEW_TITLE = 13400,
  IDS_NEW_IMAGE = 13401,
  IDS_NEW_SELECT_IMAGE = 13402,
  IDS_NEW_DOWNLOAD = 13403,
  IDS_NEW_DIMENSIONS = 13404,
  IDS_NEW_PIECE_PROPERTIES = 13405,
  IDS_NEW_SHAPE = 13406,
  IDS_NEW_ROTATE = 13407,
  IDS_NEW_IRREGULARITY = 13408,
  IDS_NEW_REGULAR = 13409,
  IDS_NEW_IRREGULAR = 13410,
  IDS_NEW_CREATE = 13411,
  // Game menu.
  IDS_MENU_TITLE = 13500,
  IDS_MENU_ACTIONS = 13501,
  IDS_MENU_SAVE = 13502,
  IDS_MENU_FULL_SCREEN = 13503,
  IDS_MENU_START_SCREEN = 13504,
  // Options and its pages.
  IDS_OPTIONS_TITLE = 13700,
  IDS_GENERAL_CAMERA = 13801,
  IDS_GENERAL_HEIGHT = 13802,
  IDS_GENERAL_CENTIMETERS = 13803,
  IDS_GENERAL_DISPLAY = 13804,
  IDS_GENERAL_LIMIT_FPS = 13805,
  IDS_ENTER_INTEGER = 13806,        // "Please enter an integer."
  IDS_ENTER_INTEGER_RANGE = 13807,  // "Please enter an integer between %d and %d."
  IDS_PIECES_DEFINITION = 13901,
  IDS_PIECES_SHINY = 13902,
  IDS_PIECES_PROPERTIES = 13903,
  IDS_PIECES_NOTE = 13904,
  // Picture selection.
  IDS_PICK_TITLE = 14000,
  IDS_PICK_IMAGE_LIST = 14001,
  IDS_PICK_PREVIEW = 14002,
  IDS_PICK_OWN_IMAGES = 14003,
  IDS_PICK_BROWSE = 14004,
  IDS_PICK_SAMPLES = 14005,
  IDS_PICK_SAMPLE_FOLDER = 14006,
  IDS_PICK_CURRENT_FOLDER = 14007,
  IDS_PICK_SELECT = 14008,
  IDS_PICK_CHOOSE_FOLDER = 14009,  // caption of the folder chooser
  // Tutorials.
  IDS_TUTORIAL_TITLE = 14300,
  IDS_TUTORIAL_PREVIOUS = 14301,
  IDS_TUTORIAL_NEXT = 14302,
  IDS_TUTORIAL_AT_START = 14303,
  // New versions page.
  IDS_VERSIONS_MANUAL = 14501,
  IDS_VERSIONS_NOTIFY = 14502,
  IDS_VERSIONS_MANUAL_NOTE = 14503,
  IDS_VERSIONS_CHECK_EVERY = 14504,
  IDS_VERSIONS_NOTE = 14505,
};
// ---- saved games (game) ----------------------------------------------------------------------
enum : unsigned {
  IDS_SAVED_PUZZLE_FILTER = 9301,  // file dialogs' filter; "*.rvpuzzle"
  IDS_PUZZLE_SAVED = 9302,         // "%s": the file name
  IDS_PUZZLE_LOADED = 9303,
  IDS_SAVE_FAILED = 9304,  // "%s %s": the path, the reason
  IDS_SAVED_PUZZLE_DAMAGED = 9305,
  IDS_SAVED_PUZZLE_NEWER = 9306,
  IDS_SAVED_PICTURE_MISSING = 9307,    // "%s": the picture's path
  IDS_SAVED_PUZZLE_UNREADABLE = 9308,  // "%s %s": the path, the reason
  IDS_SAVE_NOT_A_FILE = 9309,          // the reason of IDS_SAVE_FAILED for a pipe, device or folder
};
// ---- end of saved games ------------------------------------------------------------------------
