#pragma once
// String-table ids of the game's frame, game object and start screen (the
// texts are in resources/game_strings.cpp and the French language file).
#include "resources/strings.h"

enum : unsigned {
  IDS_OLE_INIT_FAILED = 100,
  IDS_ERROR_CAPTION = 203,
  IDS_PUZZLE_NOT_CREATED = 211,
  IDS_PUZZLE_INFORMATION_CAPTION = 213,
  IDS_CAPTION_NEW_PUZZLE = 227,
  IDS_CAPTION_LOAD_PUZZLE = 228,
  IDS_CAPTION_EXIT = 229,
  IDS_CAPTION_HELP = 230,
  IDS_PUZZLE_INFORMATION_TEXT = 231,  // "Dimension: %d X %d (%d pieces)\n%3.1f%% completed\n"
  IDS_URL_CONTACT = 232,
  IDS_URL_MORE_PUZZLES = 233,
  IDS_URL_COMPANY_HOME = 239,
  IDS_URL_PRODUCT_HOME = 244,
  IDS_HELP_HINT = 264,
  IDS_ENGINE_INIT_FAILED = 273,  // "%s": the failing step's message
  IDS_GAME_NOT_RESPONDING = 320,
  IDS_INSTANCE_FOLDER_REFUSED = 321,  // "%s": the folder
  // What could not be opened or started outside the game; "%s" names it.
  IDS_ADDRESS_NOT_OPENED = 322,          // a web address (no browser)
  IDS_REPORT_NOT_SHOWN = 323,            // the system report's file (no viewer)
  IDS_UPDATE_CHECKER_MISSING = 324,      // the update checker's path
  IDS_UPDATE_CHECKER_NOT_STARTED = 325,  // the update checker's path
  IDS_PUZZLE_TOO_LARGE = 326,            // a puzzle that memory cannot hold

  // Play screen, icon bar and command helper.
  IDS_CONGRATULATION = 215,
  IDS_GAME_TIME = 234,  // "Game Time: %02d:%02d:%02d"
  IDS_TIP_GAME_MENU = 248,
  IDS_TIP_SAVE = 249,
  IDS_TIP_INFORMATION = 250,
  IDS_TIP_COMMANDS = 251,
  IDS_TIP_FULL_SCREEN = 252,
  IDS_TIP_MINIMIZE = 253,
  IDS_TIP_PREVIEW = 272,
  IDS_TIP_HELPER = 274,
  IDS_HELPER_TITLE = 276,  // 276..298: the helper's lines, in pairs of main and second text
  IDS_HELPER_LAST = 298,

  // Menu 101: the popups, then the items (with their accelerator labels).
  IDS_MENU_GAME = 41001,
  IDS_MENU_VIEW = 41002,
  IDS_MENU_PUZZLE = 41003,
  IDS_MENU_ONLINE = 41004,
  IDS_MENU_HELP = 41005,
  IDS_MENU_LANGUAGE = 41006,
  // An item's text has the id 9000 + its command id (32101 -> 41101); the
  // two class-library commands use these.
  IDS_MENU_ABOUT = 41864,
  IDS_MENU_EXIT = 41865,
};

// The menu text id of a command.
constexpr unsigned MenuTextId(unsigned command) {
  return command == 57664   ? unsigned(IDS_MENU_ABOUT)
         : command == 57665 ? unsigned(IDS_MENU_EXIT)
                            : command + 9000;
}
