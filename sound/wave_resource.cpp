#include "sound/wave_resource.h"

#include "platform/resource_file.h"

bool FindWaveResource(const std::string& name, std::vector<BYTE>& bytes) {
  bytes.clear();
  for (const char* type : {":/WAVE/", ":/WAV/"}) {
    if (ReadBuiltInFile(type + name, bytes)) return true;
  }
  return false;
}
