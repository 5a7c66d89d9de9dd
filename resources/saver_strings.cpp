#include "resources/strings.h"

const StringTable& SaverStrings() {
  static const StringTable table = {
      {IDS_APP_NAME, "Ravelle"},
      {IDS_SAVER_PRODUCT_TITLE, "Ravelle Screensaver"},
      {IDS_HELP_PAGE_MISSING, "The help page could not be found:\n%s"},
      {IDS_HELP_BACK, "Back"},
      {IDS_HELP_FORWARD, "Forward"},
      {IDS_HELP_HOME, "Home"},
      {IDS_SETTINGS_NOT_SAVED, "Your settings could not be saved in:\n%s\n\n%s"},
      {IDS_SETTINGS_LOCK_HELD, "Another program is holding the file. Close it and try again."},
      {IDS_SETTINGS_NOT_REGULAR,
       "The file or its lock file (ending in .lock) is not what it should be: a pipe, a folder, a device or "
       "a large file is in its place."},
      {IDS_SETTINGS_TOO_LARGE, "The file would be larger than 1 MB."},
      {IDS_SETTINGS_DISK, "The disk refused the write (no permission or no space left)."},

      // ---- start-up, settings, picture folders and about box -------------------------
      {132,
       "Error 800: The screensaver engine could not be initialized.  Please note the error message "
       "below and contact our support for help.\n\nError Message:\n%s"},
      {2130, kLegalWarningText},  // the game's text
      {2140, "Puzzle Images"},
      {2141,
       "You can use this interface to add or remove images displayed on the 3D puzzles when the "
       "screensaver is running."},
      {2142, "Add/Remove images"},
      {2143, "Options"},
      {2144, "Close screensaver when the mouse is moved"},
      {2145, "Show the number of images per second"},
      {2146, "Limit frame rate per second to refresh rate (recommended to minimize CPU use)."},
      {2147, "Help"},
      {2148, "About"},
      {2149, "Check for updates"},
      {2150, "OK"},
      {2151, "Cancel"},
      {2152, "Manage Puzzle Images"},
      {2153, "Folder"},
      {2154, "Add Image Folder"},
      {2155, "Remove Image Folder"},
      {2156, "About Ravelle Screensaver"},
      {2157, "Product Information"},
      {2158, "Version "},
      {2159, "Halvorn Home Page"},
      {2160, "Ravelle Screensaver Home Page"},
      {2161, "Choose a picture folder"},
      {2162, "%s (not found or cannot be read)"},
      {2164, "No more picture folders can be added: the screensaver keeps at most %d."},
      {2165, "The screensaver keeps at most %d picture folders. Dropped folders not added: %d."},
  };
  return table;
}
