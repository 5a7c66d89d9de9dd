#include "resources/strings.h"

const StringTable& GameStrings() {
  static const StringTable table = {
      {IDS_PRODUCT_TITLE, "Ravelle"},
      {IDS_APP_NAME, "Ravelle"},
      {IDS_HELP_PAGE_MISSING, "The help page could not be found:\n%s"},
  };
  return table;
}
