// libFuzzer target for the profile readers: any profile or machine settings
// file reads as values or defaults (never ending the process, whatever Qt
// types it names); the language is always a known one and the installation
// folder fits its buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_file.h"
#include "platform/profile.h"
#include "support/support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "profile.ini");
  SetProfileFile(path);
  SetMachineSettingsFile(path);
  const std::string language = GetLanguage();
  if (language != "english" && language != "french") std::abort();
  (void)ProfileGetInt("GameOptions", "PieceCount", 60);
  (void)ProfileGetBool("GameOptions", "Sound", true);
  (void)ProfileGetString("MenuSel", "LastImage", "");
  char buffer[256];
  if (ReadInstallDir(buffer) && std::string(buffer).size() > 255) std::abort();
  (void)MissingInstallationMessage();
  return 0;
}
