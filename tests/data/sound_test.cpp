// The join sound is a RIFF wave file the sound engine reads: "RIFF" with
// form type "WAVE", a PCM "fmt " chunk of at least 16 bytes at 22050 Hz and
// 16 bits, and a "data" chunk; and it is short and audible without clipping.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "data_files.h"

namespace {

uint32_t U32(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
         static_cast<uint8_t>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

TEST(DataSound, ConnectSoundIsAShortPcmWave) {
  const std::string b = datatest::ReadFileBytes(datatest::InstalledPath("Sounds/ConnectPieces.wav"));
  ASSERT_GE(b.size(), 44u);
  ASSERT_EQ(b.substr(0, 4), "RIFF");
  EXPECT_EQ(U32(b, 4), b.size() - 8);
  ASSERT_EQ(b.substr(8, 4), "WAVE");

  size_t fmt = 0, data = 0;
  uint32_t fmtSize = 0, dataSize = 0;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const uint32_t size = U32(b, at + 4);
    ASSERT_LE(at + 8 + size, b.size()) << "chunk " << id << " runs past the end";
    if (id == "fmt ") fmt = at + 8, fmtSize = size;
    if (id == "data") data = at + 8, dataSize = size;
    at += 8 + size + (size & 1);
  }
  ASSERT_NE(fmt, 0u);
  ASSERT_NE(data, 0u);
  ASSERT_GE(fmtSize, 16u);
  const uint16_t tag = U16(b, fmt), channels = U16(b, fmt + 2), blockAlign = U16(b, fmt + 12),
                 bits = U16(b, fmt + 14);
  const uint32_t rate = U32(b, fmt + 4), byteRate = U32(b, fmt + 8);
  EXPECT_EQ(tag, 1);  // PCM
  EXPECT_TRUE(channels == 1 || channels == 2);
  EXPECT_EQ(rate, 22050u);
  EXPECT_EQ(bits, 16);
  EXPECT_EQ(blockAlign, channels * 2);
  EXPECT_EQ(byteRate, rate * blockAlign);
  ASSERT_GT(dataSize, 0u);
  EXPECT_EQ(dataSize % blockAlign, 0u);

  const double seconds = static_cast<double>(dataSize) / byteRate;
  EXPECT_GT(seconds, 0.03);
  EXPECT_LT(seconds, 0.5);  // a click, not a tune
  int peak = 0;
  for (uint32_t i = 0; i + 1 < dataSize; i += 2) {
    const int v = static_cast<int16_t>(U16(b, data + i));
    peak = std::max(peak, std::abs(v));
  }
  EXPECT_GT(peak, 32767 / 4);  // clearly audible
  EXPECT_LT(peak, 32767);      // never clipped
}

}  // namespace
