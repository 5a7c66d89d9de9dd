#include "resources/strings.h"

HelpViewerTexts HelpButtonTexts() {
  return {LoadResString(IDS_HELP_BACK), LoadResString(IDS_HELP_FORWARD), LoadResString(IDS_HELP_HOME)};
}
