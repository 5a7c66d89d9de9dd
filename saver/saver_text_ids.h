#pragma once
// String-table ids of the screen saver's start-up and dialogs (the texts are
// in resources/saver_strings.cpp and the French language file Brindle.strings).
#include "resources/strings.h"

enum : unsigned {
  IDS_SAVER_INIT_FAILED = 132,  // "%s": the failing step's message
  IDS_SAVER_LEGAL = 2130,
  IDS_SAVER_GROUP_IMAGES = 2140,
  IDS_SAVER_IMAGES_NOTE = 2141,
  IDS_SAVER_MANAGE_IMAGES = 2142,
  IDS_SAVER_GROUP_OPTIONS = 2143,
  IDS_SAVER_CLOSE_MOUSE_MOVE = 2144,
  IDS_SAVER_SHOW_FPS = 2145,
  IDS_SAVER_LIMIT_FPS = 2146,
  IDS_SAVER_HELP = 2147,
  IDS_SAVER_ABOUT = 2148,
  IDS_SAVER_CHECK_UPDATES = 2149,
  IDS_SAVER_OK = 2150,
  IDS_SAVER_CANCEL = 2151,
  IDS_SAVER_MANAGE_TITLE = 2152,
  IDS_SAVER_FOLDER_COLUMN = 2153,
  IDS_SAVER_ADD_FOLDER = 2154,
  IDS_SAVER_REMOVE_FOLDER = 2155,
  IDS_SAVER_ABOUT_TITLE = 2156,
  IDS_SAVER_PRODUCT_INFO = 2157,
  IDS_SAVER_VERSION = 2158,  // followed by the version number
  IDS_SAVER_MAKER_PAGE = 2159,
  IDS_SAVER_HOME_PAGE = 2160,
  IDS_SAVER_CHOOSE_FOLDER = 2161,      // caption of the folder chooser
  IDS_SAVER_FOLDER_UNREADABLE = 2162,  // "%s": a user's folder that is gone or cannot be read
  IDS_SAVER_FOLDERS_FULL = 2164,       // "%d": kMaxUserFolders; Add with the list full
  IDS_SAVER_FOLDERS_LEFT_OUT = 2165,   // "%d %d": kMaxUserFolders, the dropped folders not added
};
