#include "resources/strings.h"

const StringTable& SaverStrings() {
  static const StringTable table = {
      {IDS_APP_NAME, "Ravelle"},
      {IDS_SAVER_PRODUCT_TITLE, "Ravelle Screensaver"},
  };
  return table;
}
