#include "resources/strings.h"

const StringTable& GameStrings() {
  static const StringTable table = {
      {IDS_PRODUCT_TITLE, "Ravelle"},
      {IDS_APP_NAME, "Ravelle"},
  };
  return table;
}
