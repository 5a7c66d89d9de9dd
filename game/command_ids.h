#pragma once
// Menu command ids: the interface between the 3D screens, the dialogs and
// the main frame. Screens and dialogs never call the frame; they post one of
// these.
#include "platform/win_types.h"

inline constexpr UINT ID_SHOW_START_SCREEN = 32101;
inline constexpr UINT ID_CREATE_NEW_PUZZLE = 32102;
inline constexpr UINT ID_LOAD_PUZZLE = 32103;
inline constexpr UINT ID_SAVE_PUZZLE = 32104;
inline constexpr UINT ID_CHANGE_ENVIRONMENT = 32105;
inline constexpr UINT ID_OPTIONS = 32106;
inline constexpr UINT ID_LANGUAGE_ENGLISH = 32111;
inline constexpr UINT ID_LANGUAGE_FRENCH = 32112;
inline constexpr UINT ID_GAME_MENU = 32201;
inline constexpr UINT ID_TOGGLE_FULL_SCREEN = 32202;
inline constexpr UINT ID_SHOW_FPS = 32203;
inline constexpr UINT ID_COMMAND_HELPER = 32779;
// Posted by the game object when memory ran out drawing the puzzle; in no
// menu.
inline constexpr UINT ID_PUZZLE_TOO_LARGE = 32780;
inline constexpr UINT ID_PUZZLE_INFORMATION = 32301;
inline constexpr UINT ID_SHOW_HIDE_PREVIEW = 32302;
inline constexpr UINT ID_COMPANY_HOME_PAGE = 32401;
inline constexpr UINT ID_PRODUCT_HOME_PAGE = 32402;
inline constexpr UINT ID_DOWNLOAD_NEW_PUZZLES = 32403;
inline constexpr UINT ID_CHECK_FOR_UPDATES = 32778;
inline constexpr UINT ID_HELP_CONTENTS = 32501;
inline constexpr UINT ID_HELP_COMMANDS = 32502;
inline constexpr UINT ID_SHOW_TUTORIALS = 32775;
inline constexpr UINT ID_SYSTEM_INFORMATION = 32776;
inline constexpr UINT ID_CONTACT = 32503;
inline constexpr UINT ID_APP_ABOUT = 57664;
inline constexpr UINT ID_APP_EXIT = 57665;
