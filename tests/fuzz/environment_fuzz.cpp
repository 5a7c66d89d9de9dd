// libFuzzer target for environment description files: a file is either
// read into a description naming a plain texture file and a width above 0,
// or refused with a message leaving the description as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_file.h"
#include "game/environment.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "environment.txt");
  EnvironmentInfo info;
  info.m_nameEnglish = "before";
  std::string error;
  if (ParseEnvironmentFile(info, path, &error)) {
    if (info.m_tileWidth <= 0 || info.m_textureFileName.empty() ||
        info.m_textureFileName.find('/') != std::string::npos || info.m_textureFileName == "..")
      std::abort();
  } else if (error.empty() || info.m_nameEnglish != "before" || info.m_tileWidth != 0) {
    std::abort();
  }
  return 0;
}
