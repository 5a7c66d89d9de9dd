// RIFF wave writer (see wave_writer.h).
#include "data/wave_writer.h"

#include <cmath>
#include <cstdint>

namespace makedata {

namespace {
void PutU32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}
}  // namespace

std::string EncodeWavePcm16(const std::vector<float>& samples, int sampleRate) {
  const uint16_t channels = 1, bits = 16;
  const uint16_t blockAlign = channels * bits / 8;
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * blockAlign;
  std::string s;
  s.reserve(44 + dataBytes);
  s += "RIFF";
  PutU32(s, 36 + dataBytes);
  s += "WAVE";
  s += "fmt ";
  PutU32(s, 16);
  PutU16(s, 1);  // PCM
  PutU16(s, channels);
  PutU32(s, static_cast<uint32_t>(sampleRate));
  PutU32(s, static_cast<uint32_t>(sampleRate) * blockAlign);
  PutU16(s, blockAlign);
  PutU16(s, bits);
  s += "data";
  PutU32(s, dataBytes);
  for (float v : samples) {
    const float c = v < -1 ? -1 : (v > 1 ? 1 : v);
    PutU16(s, static_cast<uint16_t>(static_cast<int16_t>(std::lround(c * 32767.0f))));
  }
  return s;
}

}  // namespace makedata
