// libFuzzer target for language files: a file loads (lines whose printf
// conversions differ from the English ones left out) or is refused; the
// help-page message formatted from it always shows the page's path and
// nothing of the stack.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "resources/strings.h"
#include "support/string_table.h"

// Refused lines are reported on stderr: build.sh runs this target with
// -close_fd_mask=2 (libFuzzer keeps its own output).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetBuiltInStrings(&GameStrings());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  UnloadLanguageStrings();
  std::string error;
  if (!LoadLanguageStringsFromText(text, "fuzz.strings", &error)) {
    if (error.empty() || LanguageStringsLoaded()) std::abort();
    return 0;
  }
  const std::string path = "/opt/ravelle/Help/french/903.html";
  const std::string message = FormatResString(IDS_HELP_PAGE_MISSING, path.c_str());
  if (message.find(path) == std::string::npos) std::abort();
  (void)LoadResString(IDS_PRODUCT_TITLE);
  return 0;
}
