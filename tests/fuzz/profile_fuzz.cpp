// libFuzzer target for the profile readers and the settings files' editor:
// any profile or machine settings file reads as values or defaults (never
// ending the process, whatever Qt types it names); the language is always a
// known one and the installation folder fits its buffer. Setting values in
// any text reads them back, and leaves the values of other keys as they
// were.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "platform/ini_text.h"
#include "platform/profile.h"
#include "support/support.h"

namespace {

void ReadAsThePrograms(const std::uint8_t* data, size_t size) {
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
}

void EditKeepsOtherValues(const std::uint8_t* data, size_t size) {
  const IniText text(std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<IniSetting> settings = {
      {"GameOptions", "PieceCount", "7"}, {"", "Language", " french, \"x\" "}, {"New", "Key", "a\\b\n;c"}};
  const std::vector<std::pair<std::string, std::string>> others = {
      {"GameOptions", "Sound"}, {"MenuSel", "LastImage"}, {"", "InstallDir"}, {"New", "Other"}};
  const IniText edited(text.WithValues(settings));
  for (const IniSetting& s : settings)
    if (edited.Value(s.section, s.entry) != s.value) std::abort();
  for (const auto& [section, entry] : others)
    if (edited.Value(section, entry) != text.Value(section, entry)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  ReadAsThePrograms(data, size);
  EditKeepsOtherValues(data, size);
  return 0;
}
