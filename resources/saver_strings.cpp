#include "resources/strings.h"

const StringTable& SaverStrings() {
  static const StringTable table = {
      {IDS_APP_NAME, "Ravelle"},
      {IDS_SAVER_PRODUCT_TITLE, "Ravelle Screensaver"},
      {IDS_HELP_PAGE_MISSING, "The help page could not be found:\n%s"},
  };
  return table;
}
