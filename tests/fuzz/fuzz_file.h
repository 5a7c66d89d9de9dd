#pragma once
// The fuzzers' input as a file: the readers under test open files by name.
// One file per process in a private temporary folder, rewritten per input
// and removed with its folder when the process ends.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

struct InputFolder {
  InputFolder() {
    char pattern[] = "/tmp/ravelle-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) std::abort();
    path = made;
  }
  ~InputFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

inline std::string WriteInput(const std::uint8_t* data, size_t size, const char* name) {
  static const InputFolder input;
  const std::string& folder = input.path;
  const std::string path = folder + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
  return path;
}

}  // namespace fuzz
