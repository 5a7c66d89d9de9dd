// libFuzzer target for the profile readers: any profile or machine settings
// file reads as values or defaults (never ending the process, whatever Qt
// types it names); the language is always a known one and the installation
// folder fits its buffer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_file.h"
#include "platform/profile.h"
#include "support/support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  // A new file for each input: the profile keeps what it parsed while the
  // file's inode, size and times stay, and two inputs written in place within
  // one tick of the file clock could look the same.
  static unsigned long inputs = 0;
  static std::string previous;
  const std::string name = "profile-" + std::to_string(++inputs) + ".ini";
  const std::string path = fuzz::WriteInput(data, size, name.c_str());
  if (!previous.empty()) std::remove(previous.c_str());
  previous = path;
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
