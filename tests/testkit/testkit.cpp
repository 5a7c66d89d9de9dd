#include "testkit.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testkit {

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "ravelle-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(m_path, ec);
}

std::string TempDir::operator/(const std::string& name) const { return m_path + "/" + name; }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TempDir::WriteFile(const std::string& name, const std::string& bytes) const {
  const fs::path full = fs::path(m_path) / name;
  fs::create_directories(full.parent_path());
  std::ofstream(full, std::ios::binary) << bytes;
  return full.string();
}

std::string TempDir::MakeFolder(const std::string& name) const {
  const fs::path full = fs::path(m_path) / name;
  fs::create_directories(full);
  return full.string();
}

namespace {

// Writes the settings file that names `folder` as the installation; its path.
std::string WriteInstallation(const std::string& folder, const std::string& settingsFolder) {
  const std::string file = (settingsFolder.empty() ? folder : settingsFolder) + "/machine.ini";
  std::ofstream(file) << "[General]\nInstallDir=\"" << folder << "\"\n";
  return file;
}

}  // namespace

ScopedInstallation::ScopedInstallation(const std::string& folder, const std::string& settingsFolder)
    : m_folder(folder), m_settings(WriteInstallation(folder, settingsFolder)) {}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name) {
  if (const char* old = std::getenv(name)) m_had = true, m_old = old;
  setenv(name, value, 1);
}

ScopedEnv::~ScopedEnv() {
  if (m_had)
    setenv(m_name.c_str(), m_old.c_str(), 1);
  else
    unsetenv(m_name.c_str());
}

bool HasDisplay() {
  const char* d = std::getenv("DISPLAY");
  return d && *d;
}

std::vector<long long> FirstMiddleAndLast(long long count, long long first) {
  std::vector<long long> steps;
  for (long long n = 0; n < std::min(first, count); ++n) steps.push_back(n);
  for (long long n : {count / 2, count - 1})
    if (n >= 0 && (steps.empty() || n > steps.back())) steps.push_back(n);
  return steps;
}

}  // namespace testkit
