#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "sound/wave_file.h"
#include "testkit.h"
#include "wave_bytes.h"

using namespace wavebytes;

namespace {

struct WaveCase {
  const char* name;
  std::string bytes;
  bool opens;
  DWORD formatSize;  // 18 + extra bytes
  WORD bits;
  std::string data;  // the data bytes Read delivers
};

std::vector<WaveCase> WaveCases() {
  const std::string d1000 = Bytes(1000);
  const std::string d8 = Bytes(8, 3);
  const std::string pcm8 = Fmt(1, 1, 22050, 8);
  const std::string full = Riff(pcm8 + Chunk("data", d1000));
  const std::string nonPcm20 = Chunk("fmt ", FormatBody(2, 1, 22050, 4) + U16(2) + "\x11\x22");
  return {
      {"Pcm8Mono", full, true, 18, 8, d1000},
      {"Pcm16Stereo", Riff(Fmt(1, 2, 44100, 16) + Chunk("data", d8)), true, 18, 16, d8},
      {"OddListChunkBeforeFmt", Riff(Chunk("LIST", "abc") + pcm8 + Chunk("data", d8)), true, 18, 8, d8},
      {"DataBeforeFmtAndOddData", Riff(Chunk("data", "xyz") + pcm8), true, 18, 8, "xyz"},
      {"PcmFmtOf18Bytes", Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 8) + U16(0)) + Chunk("data", d8)), true,
       18, 8, d8},
      {"NonPcmWithTwoExtraBytes", Riff(nonPcm20 + Chunk("data", d8)), true, 20, 4, d8},
      {"DataSizeZero", Riff(pcm8 + Chunk("data", "")), true, 18, 8, ""},
      {"DataSizeBeyondFile", Riff(pcm8 + Chunk("data", d8, 1000)), true, 18, 8, d8},
      {"FmtShorterThan16", Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 8).substr(0, 14)) + Chunk("data", d8)),
       false, 0, 0, ""},
      {"NonPcmFmtWithoutCount", Riff(Fmt(2, 1, 22050, 4) + Chunk("data", d8)), false, 0, 0, ""},
      {"CountBeyondFmtChunk",
       Riff(Chunk("fmt ", FormatBody(2, 1, 22050, 4) + U16(10) + "ab") + Chunk("data", d8)), false, 0, 0, ""},
      {"FmtBeyondFile", Riff(Chunk("fmt ", "", 16)), false, 0, 0, ""},
      {"MissingData", Riff(pcm8), false, 0, 0, ""},
      {"MissingFmt", Riff(Chunk("data", d8)), false, 0, 0, ""},
      {"TruncatedHeader", full.substr(0, 10), false, 0, 0, ""},
      {"TruncatedInFmt", full.substr(0, 30), false, 0, 0, ""},
      {"ZeroLength", "", false, 0, 0, ""},
      {"NotRiff", "RIFX" + full.substr(4), false, 0, 0, ""},
      {"NotWave", Riff(pcm8 + Chunk("data", d8), "AVI "), false, 0, 0, ""},
      {"RiffSizeTooSmall", "RIFF" + U32(2) + full.substr(8), false, 0, 0, ""},
  };
}

// Reads every data byte in pieces of 7 (to see that Read stops at the end).
std::string ReadAll(CKVAWaveFile& wave) {
  std::string out;
  BYTE piece[7];
  for (;;) {
    DWORD got = 12345;
    EXPECT_EQ(wave.Read(piece, sizeof piece, &got), S_OK);
    if (got == 0) break;
    out.append(reinterpret_cast<char*>(piece), got);
  }
  return out;
}

}  // namespace

TEST(WaveFile, EachStepOfTheCaseTable) {
  for (const WaveCase& c : WaveCases()) {
    SCOPED_TRACE(c.name);
    CKVAWaveFile wave;
    ASSERT_EQ(wave.OpenMemory(c.bytes.data(), c.bytes.size()), c.opens);
    if (!c.opens) {
      EXPECT_EQ(wave.Format(), nullptr);
      EXPECT_EQ(wave.DataSize(), 0u);
      EXPECT_FALSE(wave.ResetToData());
      DWORD got = 1;
      BYTE b;
      EXPECT_EQ(wave.Read(&b, 1, &got), CO_E_NOTINITIALIZED);
      continue;
    }
    ASSERT_NE(wave.Format(), nullptr);
    EXPECT_EQ(wave.FormatSize(), c.formatSize);
    EXPECT_EQ(DWORD{wave.Format()->cbSize}, c.formatSize - 18);
    EXPECT_EQ(wave.FormatExtra().size(), c.formatSize - 18u);
    EXPECT_EQ(+wave.Format()->wBitsPerSample, c.bits);
    EXPECT_EQ(wave.DataSize(), c.data.size());
    EXPECT_EQ(ReadAll(wave), c.data);
    // ResetToData makes every byte unread again.
    ASSERT_TRUE(wave.ResetToData());
    EXPECT_EQ(wave.UnreadBytes(), c.data.size());
    EXPECT_EQ(ReadAll(wave), c.data);
    EXPECT_TRUE(wave.Close());
    DWORD got = 1;
    BYTE b;
    EXPECT_EQ(wave.Read(&b, 1, &got), CO_E_NOTINITIALIZED);
  }
}

TEST(WaveFile, NonPcmExtraBytesAreKept) {
  const std::string bytes =
      Riff(Chunk("fmt ", FormatBody(2, 1, 22050, 4) + U16(2) + "\x11\x22") + Chunk("data", "ab"));
  CKVAWaveFile wave;
  ASSERT_TRUE(wave.OpenMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(wave.FormatExtra(), (std::vector<BYTE>{0x11, 0x22}));
  EXPECT_EQ(+wave.Format()->wFormatTag, 2);
  EXPECT_EQ(+wave.Format()->nSamplesPerSec, 22050u);
}

TEST(WaveFile, ReadArgumentsAreChecked) {
  const std::string bytes = Riff(Fmt(1, 1, 8000, 8) + Chunk("data", "abcd"));
  CKVAWaveFile wave;
  ASSERT_TRUE(wave.OpenMemory(bytes.data(), bytes.size()));
  BYTE b[4];
  DWORD got = 0;
  EXPECT_EQ(wave.Read(nullptr, 4, &got), E_INVALIDARG);
  EXPECT_EQ(wave.Read(b, 4, nullptr), E_INVALIDARG);
  EXPECT_EQ(wave.Read(b, 3, &got), S_OK);
  EXPECT_EQ(got, 3u);
  EXPECT_EQ(wave.UnreadBytes(), 1u);
}

TEST(WaveFile, OpensFilesAndBuiltInResourcesAndFailsCleanlyOtherwise) {
  testkit::TempDir dir;
  const std::string bytes = Riff(Chunk("LIST", "abc") + Fmt(1, 2, 22050, 16) + Chunk("data", Bytes(40)));
  const std::string path = dir.WriteFile("a.wav", bytes);
  CKVAWaveFile wave;
  ASSERT_TRUE(wave.Open(path));
  EXPECT_EQ(wave.DataSize(), 40u);
  EXPECT_EQ(ReadAll(wave), Bytes(40));

  // A second Open replaces the first; a bad file leaves the reader closed.
  const std::string bad = dir.WriteFile("bad.wav", bytes.substr(0, 20));
  EXPECT_FALSE(wave.Open(bad));
  EXPECT_EQ(wave.Format(), nullptr);
  EXPECT_FALSE(wave.Open(dir / "missing.wav"));
  EXPECT_FALSE(wave.Open(dir.path()));  // a folder
  // Special files are refused at once: a pipe would wait for a writer,
  // /dev/zero never ends.
  ASSERT_EQ(::mkfifo((dir / "pipe.wav").c_str(), 0600), 0);
  EXPECT_FALSE(wave.Open(dir / "pipe.wav"));
  std::filesystem::create_symlink("/dev/zero", dir / "zero.wav");
  EXPECT_FALSE(wave.Open(dir / "zero.wav"));

  // No such file, but a built-in wave of that name (compiled into the tests).
  ASSERT_TRUE(wave.Open("TestBeep"));
  EXPECT_EQ(+wave.Format()->nChannels, 1);
  EXPECT_EQ(wave.DataSize(), 4u);
}
