#pragma once
// Small fixtures shared by the test binaries.
#include <string>
#include <vector>

#include "platform/profile.h"

namespace testkit {

// A fresh private folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return m_path; }
  // path() + "/" + name
  std::string operator/(const std::string& name) const;
  // Writes a file (creating its folders) and answers its full path.
  std::string WriteFile(const std::string& name, const std::string& bytes) const;
  std::string MakeFolder(const std::string& name) const;

 private:
  std::string m_path;
};

// A whole file's bytes ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);

// Sets an environment variable while it lives; the old value (or none)
// comes back after.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name, m_old;
  bool m_had = false;
};

// A private installation: while it lives, the machine-wide settings name
// `folder` as the installation folder (InstallDir), through a settings file
// `machine.ini` written into `settingsFolder` (default: `folder` itself);
// the previous machine settings come back after.
class ScopedInstallation {
 public:
  explicit ScopedInstallation(const std::string& folder, const std::string& settingsFolder = "");
  const std::string& folder() const { return m_folder; }

 private:
  std::string m_folder;
  ScopedMachineSettingsFile m_settings;
};

// True when a display is there for tests that need one (x11 label).
bool HasDisplay();

// Which of count numbered steps (allocations, say) a test tries in turn
// when trying each would take too long: the first `first` ones, the middle
// one and the last, in order, each once.
std::vector<long long> FirstMiddleAndLast(long long count, long long first);

}  // namespace testkit
