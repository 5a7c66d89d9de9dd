#include "resources/strings.h"

const StringTable& GameStrings() {
  static const StringTable table = {
      {IDS_PRODUCT_TITLE, "Ravelle"},
      {IDS_APP_NAME, "Ravelle"},
      {IDS_HELP_PAGE_MISSING, "The help page could not be found:\n%s"},

      // ---- main frame, game object and start screen --------------------------------
      {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
      {203, "Error"},
      {211, "The puzzle could not be created.  Some files may be corrupted."},
      {213, "Puzzle Information"},
      {227, "Create New Puzzle"},
      {228, "Load Saved Puzzle"},
      {229, "Exit"},
      {230, "Help"},
      {231, "Dimension: %d X %d (%d pieces)\n%3.1f%% completed\n"},
      {232, "https://www.halvorn.com/contact/"},
      {233, "https://www.halvorn.com/ravelle/puzzles/"},
      {239, "https://www.halvorn.com/"},
      {244, "https://www.halvorn.com/ravelle/"},
      {264, "For help on how to play, press F1"},
      {273, "Error 800: The game engine could not be initialized.  Please note the error message below and "
            "contact our support for help.\n\nError Message:\n%s"},
      // Menu 101: popups, then items (id = 9000 + command id).
      {41001, "Game"},
      {41002, "View"},
      {41003, "Puzzle"},
      {41004, "Online Resources"},
      {41005, "&Help"},
      {41006, "Language"},
      {41101, "Show Start Screen"},
      {41102, "Create New Puzzle\tF2"},
      {41103, "Load Saved Puzzle\tF3"},
      {41104, "Save Puzzle\tCtrl + S"},
      {41105, "Change Environment\tF7"},
      {41106, "Options\tF9"},
      {41111, "English"},
      {41112, "French"},
      {41865, "E&xit"},
      {41201, "Game Menu\tEscape"},
      {41202, "Activate/Deactivate full screen mode\tF11"},
      {41203, "Frame Rate Per Second"},
      {41779, "Command Helper\tF6"},
      {41301, "Information\tF4"},
      {41302, "Show/Hide Puzzle Preview Window\tF5"},
      {41401, "Halvorn Home Page"},
      {41402, "Ravelle Home Page"},
      {41403, "Download New Puzzles"},
      {41778, "Check For Updates"},
      {41501, "Contents\tF1"},
      {41502, "Commands"},
      {41775, "Show Tutorials"},
      {41776, "System Information"},
      {41503, "Contact Halvorn"},
      {41864, "&About Ravelle"},
      // ---- end of main frame, game object and start screen ------------------------

      // ---- saved games ----------------------------------------------------------------
      {IDS_SAVE_PUZZLE_TITLE, "Save Puzzle"},
      {IDS_SAVED_PUZZLE_FILTER, "Saved puzzles (*.rvpuzzle)"},
      {IDS_PUZZLE_SAVED, "Puzzle saved: %s"},
      {IDS_PUZZLE_LOADED, "Puzzle loaded"},
      {IDS_SAVE_FAILED, "The puzzle could not be saved to\n%s\n\n%s"},
      {IDS_SAVED_PUZZLE_DAMAGED, "The file could not be loaded. It is damaged or is not a saved puzzle of this game."},
      {IDS_SAVED_PUZZLE_NEWER,
       "This puzzle was saved by a newer version of the game and cannot be loaded by this one."},
      {IDS_SAVED_PICTURE_MISSING, "The picture of the saved puzzle is missing, cannot be read or has changed:\n%s"},
      {IDS_SAVED_PUZZLE_UNREADABLE, "The file could not be opened:\n%s\n\n%s"},
      // ---- end of saved games ---------------------------------------------------------
  };
  return table;
}
