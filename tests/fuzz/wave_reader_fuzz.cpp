// libFuzzer target for the wave reader: any bytes either open as a wave whose
// data reads back completely within the input, or are refused; never a
// crash, a leak or an out-of-bounds access.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/wave_file.h"

// The fuzzer reads only from memory; built-in resources do not exist here.
bool FindWaveResource(const std::string&, std::vector<BYTE>& bytes) {
  bytes.clear();
  return false;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  CKVAWaveFile wave;
  if (!wave.OpenMemory(data, size)) {
    if (wave.Format() || wave.DataSize() != 0) std::abort();
    return 0;
  }
  const WAVEFORMATEX* format = wave.Format();
  if (!format || wave.FormatExtra().size() != format->cbSize || wave.DataSize() > size) std::abort();
  for (int pass = 0; pass < 2; ++pass) {
    if (!wave.ResetToData()) std::abort();
    std::vector<BYTE> piece(61);
    DWORD total = 0;
    for (;;) {
      DWORD got = 0;
      if (wave.Read(piece.data(), static_cast<DWORD>(piece.size()), &got) != S_OK) std::abort();
      if (got == 0) break;
      total += got;
    }
    if (total != wave.DataSize()) std::abort();
  }
  return 0;
}
