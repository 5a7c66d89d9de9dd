// Sections: fake buffers - buffer choice and filling - manager without a
// device - loopback playback
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/crt_random.h"
#include "sound/sound_manager.h"
#include "support/support.h"
#include "testkit.h"
#include "wave_bytes.h"

using namespace wavebytes;

namespace {

// ---- fake buffers --------------------------------------------------------------
// A buffer with scripted status that records what is done to it.
struct FakeBuffer : IDirectSoundBuffer {
  explicit FakeBuffer(DWORD size) : bytes(size, 0xAA) {}
  HRESULT GetStatus(DWORD* status) override {
    *status = (playing ? DSBSTATUS_PLAYING : 0) | (lost ? DSBSTATUS_BUFFERLOST : 0);
    return DS_OK;
  }
  HRESULT Restore() override {
    ++restores;
    if (restoresUntilKept > 0 && --restoresUntilKept > 0) return DSERR_BUFFERLOST;
    if (restoresUntilKept < 0) return DSERR_BUFFERLOST;
    lost = false;
    return DS_OK;
  }
  HRESULT Lock(DWORD offset, DWORD n, void** p1, DWORD* n1, void** p2, DWORD* n2, DWORD) override {
    ++locks;
    *p1 = bytes.data() + offset;
    *n1 = n;
    if (p2) *p2 = nullptr;
    if (n2) *n2 = 0;
    return DS_OK;
  }
  HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DS_OK; }
  HRESULT Play(DWORD, DWORD, DWORD) override {
    ++plays;
    return DS_OK;
  }
  HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }

  std::vector<BYTE> bytes;
  bool playing = false;
  bool lost = false;
  int restoresUntilKept = 1;  // Restore calls until not lost; < 0: never
  int restores = 0, locks = 0, plays = 0;
};

std::unique_ptr<CKVAWaveFile> WaveOf(const std::string& bytes) {
  auto wave = std::make_unique<CKVAWaveFile>();
  EXPECT_TRUE(wave->OpenMemory(bytes.data(), bytes.size()));
  return wave;
}

// A sound over fake buffers; `fakes` keeps pointers to them.
std::unique_ptr<CKVASound> FakeSound(const std::string& wave, DWORD bufferSize, int count,
                                     std::vector<FakeBuffer*>& fakes) {
  std::vector<std::unique_ptr<IDirectSoundBuffer>> buffers;
  fakes.clear();
  for (int i = 0; i < count; ++i) {
    auto b = std::make_unique<FakeBuffer>(bufferSize);
    fakes.push_back(b.get());
    buffers.push_back(std::move(b));
  }
  return std::make_unique<CKVASound>(std::move(buffers), bufferSize, WaveOf(wave));
}

// After CrtSrand(1): the first draw is 41, the second 18467.
bool DrewOnce() { return CrtRand() == 18467; }

}  // namespace

// ---- buffer choice and filling ---------------------------------------------------
TEST(Sound, PlayChoosesTheFirstIdleBufferElseARandomOneWithOneDraw) {
  struct Case {
    std::vector<bool> playing;
    int played;
    bool draws;
  };
  // 41 % 1 = 0, 41 % 3 = 2.
  const Case cases[] = {
      {{false}, 0, false}, {{true}, 0, true}, {{true, false, true}, 1, false}, {{true, true, true}, 2, true}};
  const std::string wave = Riff(Fmt(1, 1, 22050, 8) + Chunk("data", Bytes(16)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.played);
    std::vector<FakeBuffer*> fakes;
    auto sound = FakeSound(wave, 16, static_cast<int>(c.playing.size()), fakes);
    for (size_t i = 0; i < fakes.size(); ++i) fakes[i]->playing = c.playing[i];
    CrtSrand(1);
    EXPECT_EQ(sound->Play(), DS_OK);
    EXPECT_EQ(DrewOnce(), c.draws);
    for (size_t i = 0; i < fakes.size(); ++i) EXPECT_EQ(fakes[i]->plays, int(i) == c.played ? 1 : 0);
  }
}

TEST(Sound, BuffersHoldTheDataAndSilenceOnlyWhereTheWaveEnds) {
  struct Case {
    const char* name;
    unsigned bits;
    DWORD bufferSize;
    bool closeWave;  // the wave's reads fail: the whole buffer is silence
  };
  const Case cases[] = {{"Exact8", 8, 1000, false},
                        {"Longer8", 8, 1010, false},
                        {"Longer16", 16, 1010, false},
                        {"FailingRead8", 8, 1000, true},
                        {"FailingRead16", 16, 1000, true}};
  const std::string data = Bytes(1000, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto wave = WaveOf(Riff(Fmt(1, 1, 22050, c.bits) + Chunk("data", data)));
    if (c.closeWave) wave->Close();
    std::vector<std::unique_ptr<IDirectSoundBuffer>> buffers;
    auto fake = std::make_unique<FakeBuffer>(c.bufferSize);
    FakeBuffer* b = fake.get();
    buffers.push_back(std::move(fake));
    CKVASound sound(std::move(buffers), c.bufferSize, std::move(wave));
    const BYTE silence = c.bits == 8 ? 128 : 0;
    const size_t dataEnd = c.closeWave ? 0 : data.size();
    EXPECT_EQ(std::string(b->bytes.begin(), b->bytes.begin() + dataEnd), data.substr(0, dataEnd));
    for (size_t i = dataEnd; i < b->bytes.size(); ++i) ASSERT_EQ(b->bytes[i], silence) << i;
  }
}

TEST(Sound, ALostBufferIsRestoredAndRefilledAndTheRestoreGivesUp) {
  const std::string wave = Riff(Fmt(1, 1, 22050, 8) + Chunk("data", Bytes(16)));
  std::vector<FakeBuffer*> fakes;
  auto sound = FakeSound(wave, 16, 1, fakes);
  FakeBuffer& b = *fakes[0];
  ASSERT_EQ(b.locks, 1);

  b.lost = true;
  b.restoresUntilKept = 3;
  std::fill(b.bytes.begin(), b.bytes.end(), 0);
  EXPECT_EQ(sound->Play(), DS_OK);
  EXPECT_EQ(b.restores, 3);
  EXPECT_EQ(b.locks, 2);
  EXPECT_EQ(std::string(b.bytes.begin(), b.bytes.end()), Bytes(16));
  EXPECT_EQ(b.plays, 1);

  b.lost = true;
  b.restores = 0;
  b.restoresUntilKept = -1;
  EXPECT_EQ(sound->Play(), DSERR_BUFFERLOST);
  EXPECT_EQ(b.restores, kRestoreAttempts);
  EXPECT_EQ(b.plays, 1);
}

TEST(Sound, PlayWithoutBuffers) {
  std::vector<std::unique_ptr<IDirectSoundBuffer>> none;
  CKVASound empty(std::move(none), 16, nullptr);
  EXPECT_EQ(empty.Play(), CO_E_NOTINITIALIZED);
  std::vector<std::unique_ptr<IDirectSoundBuffer>> nulls(1);
  CKVASound nullBuffer(std::move(nulls), 16, nullptr);
  EXPECT_EQ(nullBuffer.Play(), E_FAIL);
}

// ---- manager without a device ------------------------------------------------------
TEST(SoundManager, WithoutADeviceEverythingAnswersFalse) {
  CKVASoundManager manager;
  EXPECT_FALSE(manager.CreateWithDevice(nullptr, nullptr));
  EXPECT_FALSE(manager.m_initialized);
  EXPECT_FALSE(manager.SetPrimaryFormat());
  testkit::TempDir dir;
  const std::string path = dir.WriteFile("a.wav", SineWave(1, 22050, 16, 100, 441));
  std::unique_ptr<CKVASound> sound;
  EXPECT_FALSE(manager.CreateSound(sound, path, GUID_NULL));
  EXPECT_EQ(sound, nullptr);
}

TEST(SoundManager, TheDefaultDeviceOpensOrCleanlyDoesNot) {
  // With ALSOFT_DRIVERS=null the null device opens; with no device at all
  // Create answers false. Either way nothing hangs or crashes.
  CKVASoundManager manager;
  const bool created = manager.Create(nullptr);
  EXPECT_EQ(manager.m_initialized, created);
  EXPECT_EQ(manager.m_directSound != nullptr, created);
  if (created) {
    EXPECT_TRUE(manager.SetPrimaryFormat());
  }
  testkit::TempDir dir;
  std::unique_ptr<CKVASound> sound;
  // A silent wave (0 Hz): a real device must not click during the tests.
  const bool made =
      manager.CreateSound(sound, dir.WriteFile("a.wav", SineWave(1, 22050, 16, 100, 0)), GUID_NULL);
  EXPECT_EQ(made, created);
  if (made) {
    EXPECT_EQ(sound->Play(), DS_OK);
  }
  manager.Release();
  EXPECT_FALSE(manager.m_initialized);
}

// ---- loopback playback -----------------------------------------------------------------
namespace {

class LoopbackSound : public ::testing::Test {
 protected:
  void SetUp() override {
    std::unique_ptr<IDirectSound8> device;
    ASSERT_EQ(DirectSoundCreateLoopback(device), DS_OK);
    m_device = device.get();
    ASSERT_TRUE(m_manager.CreateWithDevice(std::move(device), nullptr));
    ASSERT_TRUE(m_manager.SetPrimaryFormat());
  }
  std::unique_ptr<CKVASound> Make(const std::string& bytes, const std::string& name = "a.wav") {
    std::unique_ptr<CKVASound> sound;
    EXPECT_TRUE(m_manager.CreateSound(sound, m_dir.WriteFile(name, bytes), GUID_NULL));
    return sound;
  }
  // Renders `frames` stereo 16-bit frames; answers the left channel.
  std::vector<int> Render(int frames) {
    std::vector<std::int16_t> out(static_cast<size_t>(frames) * 2, 0);
    EXPECT_TRUE(m_device->RenderSamples(out.data(), frames));
    std::vector<int> left;
    for (int i = 0; i < frames; ++i) left.push_back(out[size_t(i) * 2]);
    return left;
  }
  CKVASoundManager m_manager;
  IDirectSound8* m_device = nullptr;
  testkit::TempDir m_dir;
};

// Frames up to the last audible one, and sign changes among audible ones.
struct Rendered {
  int audible = 0;
  int crossings = 0;
};
Rendered Measure(const std::vector<int>& left) {
  Rendered r;
  int previous = 0;
  for (size_t i = 0; i < left.size(); ++i) {
    if (std::abs(left[i]) > 64) r.audible = int(i) + 1;
    if (std::abs(left[i]) > 64) {  // above the output's dither noise
      if (previous != 0 && (previous < 0) != (left[i] < 0)) ++r.crossings;
      previous = left[i];
    }
  }
  return r;
}

}  // namespace

TEST_F(LoopbackSound, TheMixerRunsAtTheGamesRateAndRefusesUnplayableWaves) {
  EXPECT_EQ(m_device->OutputRate(), 22050);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case refused[] = {
      {"Pcm24", Riff(Fmt(1, 1, 22050, 24) + Chunk("data", Bytes(30)))},
      {"ThreeChannels", Riff(Fmt(1, 3, 22050, 16) + Chunk("data", Bytes(30)))},
      {"NonPcm", Riff(Chunk("fmt ", FormatBody(3, 1, 22050, 32) + U16(0)) + Chunk("data", Bytes(32)))},
      {"RateZero", Riff(Fmt(1, 1, 0, 16) + Chunk("data", Bytes(32)))},
      {"DataSizeZero", Riff(Fmt(1, 1, 22050, 16) + Chunk("data", ""))},
      {"NotAWave", "hello"},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CKVASound> sound;
    EXPECT_FALSE(m_manager.CreateSound(sound, m_dir.WriteFile(c.name, c.bytes), GUID_NULL));
    EXPECT_EQ(sound, nullptr);
  }
  std::unique_ptr<CKVASound> sound;
  EXPECT_FALSE(m_manager.CreateSound(sound, m_dir / "missing.wav", GUID_NULL));
  EXPECT_FALSE(m_manager.CreateSound(sound, "", GUID_NULL));
}

TEST_F(LoopbackSound, TheConnectSoundRendersAtTheExpectedRate) {
  struct Case {
    const char* name;
    unsigned channels, rate, bits, frames;
    int outputFrames;  // at 22050 Hz
  };
  // 441 Hz: 0.1 s holds 44.1 periods, about 88 sign changes.
  const Case cases[] = {{"Mono16", 1, 22050, 16, 2205, 2205},
                        {"Mono8", 1, 22050, 8, 2205, 2205},
                        {"Stereo16", 2, 22050, 16, 2205, 2205},
                        {"Mono16At11025", 1, 11025, 16, 1103, 2205},
                        {"Stereo8At44100", 2, 44100, 8, 4410, 2205}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto sound = Make(SineWave(c.channels, c.rate, c.bits, c.frames, 441.0), "ConnectPieces.wav");
    ASSERT_NE(sound, nullptr);
    ASSERT_EQ(sound->Play(), DS_OK);
    const Rendered r = Measure(Render(c.outputFrames * 2));
    EXPECT_NEAR(r.audible, c.outputFrames, 24);
    EXPECT_NEAR(r.crossings, 88, 3);
  }
}

TEST_F(LoopbackSound, PlayingTheOnlyPlayingBufferDrawsOnceAndLeavesItAlone) {
  auto sound = Make(SineWave(1, 22050, 16, 2205, 441.0));
  ASSERT_NE(sound, nullptr);
  CrtSrand(1);
  ASSERT_EQ(sound->Play(), DS_OK);
  EXPECT_EQ(CrtRand(), 41);  // an idle buffer was chosen without a draw
  std::vector<int> left = Render(1000);

  CrtSrand(1);
  ASSERT_EQ(sound->Play(), DS_OK);
  EXPECT_EQ(CrtRand(), 18467);  // the draw consumed 41
  const std::vector<int> rest = Render(3410);
  left.insert(left.end(), rest.begin(), rest.end());
  // Not restarted: the sound still ends after its 2205 frames.
  EXPECT_NEAR(Measure(left).audible, 2205, 24);

  // Finished, it plays again from the start without a draw.
  CrtSrand(1);
  ASSERT_EQ(sound->Play(), DS_OK);
  EXPECT_EQ(CrtRand(), 41);
  EXPECT_NEAR(Measure(Render(4410)).audible, 2205, 24);
}

TEST_F(LoopbackSound, TheInstalledConnectSoundRenders) {
  const std::string path = GetSoundsDir() + kPathSeparator + "ConnectPieces.wav";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path << " in this build";
  std::unique_ptr<CKVASound> sound;
  ASSERT_TRUE(m_manager.CreateSound(sound, path, GUID_NULL));
  ASSERT_EQ(sound->Play(), DS_OK);
  EXPECT_GT(Measure(Render(22050)).audible, 0);
}
