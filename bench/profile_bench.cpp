// The profile store on a profile at its 1 MiB cap: 1,000 stored picture
// folders with long paths, as the screen saver reads them when it starts
// (ReadUserImageFolders: the count, then every folder).
// - ReadAllFolders: the whole list from an unchanged profile;
// - ReadAllValues: the same 1,001 values from one snapshot, without the
//   list's own work (it drops repeated folders by comparing each with those
//   before it);
// - ReadOneValue: one value on its own (the file is read whole, its parse
//   used again);
// - ReadAllFoldersAfterAChange: the list after another program rewrote the
//   profile (one parse of the new file is part of it);
// - SaveAllFolders: the list with one folder taken out, saved as OK in
//   Manage Puzzle Images saves it (one locked replacement of the file).
// Run by hand: build/bin/profile_bench (no display needed).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "saver/picture_lists.h"

namespace {

constexpr int kFolders = 1000;
constexpr std::size_t kPathLength = 1000;

// A fresh profile just under the cap, in a folder of its own.
class BigProfile {
 public:
  BigProfile() {
    char pattern[] = "/tmp/profile_bench.XXXXXX";
    if (::mkdtemp(pattern)) m_folder = pattern;
    m_file = m_folder + "/Ravelle.ini";
    Write(0);
    SetProfileFile(m_file);
  }
  ~BigProfile() {
    SetProfileFile("");
    std::remove(m_file.c_str());
    std::remove(m_folder.c_str());
  }
  BigProfile(const BigProfile&) = delete;
  BigProfile& operator=(const BigProfile&) = delete;

  // The profile as another program would write it; generation changes one
  // character of every path (same size, new contents).
  void Write(int generation) const {
    std::ofstream out(m_file, std::ios::trunc);
    out << "[ScreensaverFolders]\nCount=" << kFolders << "\n";
    for (int i = 1; i <= kFolders; ++i) {
      std::string path = "/home/player/Pictures/" + std::string(kPathLength, 'p') + std::to_string(i);
      path[22] = char('a' + generation % 26);
      out << "Folder" << i << "=" << path << "\n";
    }
  }
  std::size_t Bytes() const {
    std::ifstream in(m_file, std::ios::ate | std::ios::binary);
    return std::size_t(in.tellg());
  }

 private:
  std::string m_folder;
  std::string m_file;
};

void ReadAllFolders(benchmark::State& state) {
  const BigProfile profile;
  for (auto _ : state) {
    const auto folders = ReadUserImageFolders();
    if (folders.size() != kFolders) state.SkipWithError("the folders did not read back");
    benchmark::DoNotOptimize(folders.data());
  }
  state.counters["profile_bytes"] = double(profile.Bytes());
}
BENCHMARK(ReadAllFolders)->Unit(benchmark::kMillisecond);

void ReadAllValues(benchmark::State& state) {
  const BigProfile profile;
  for (auto _ : state) {
    std::size_t bytes = 0;
    const ProfileSnapshot snapshot;
    const int count = snapshot.GetInt(kSaverFoldersSection, "Count", 0);
    for (int i = 1; i <= count; ++i)
      bytes += snapshot.GetString(kSaverFoldersSection, "Folder" + std::to_string(i), "").size();
    if (count != kFolders || bytes < kFolders * kPathLength)
      state.SkipWithError("the values did not read back");
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(ReadAllValues)->Unit(benchmark::kMillisecond);

void ReadOneValue(benchmark::State& state) {
  const BigProfile profile;
  for (auto _ : state) {
    if (ProfileGetInt(kSaverFoldersSection, "Count", 0) != kFolders) state.SkipWithError("no count");
  }
}
BENCHMARK(ReadOneValue)->Unit(benchmark::kMillisecond);

void ReadAllFoldersAfterAChange(benchmark::State& state) {
  const BigProfile profile;
  int generation = 0;
  for (auto _ : state) {
    state.PauseTiming();
    profile.Write(++generation);
    state.ResumeTiming();
    const auto folders = ReadUserImageFolders();
    if (folders.size() != kFolders || folders[0][22] != char('a' + generation % 26))
      state.SkipWithError("the change was not seen");
    benchmark::DoNotOptimize(folders.data());
  }
}
BENCHMARK(ReadAllFoldersAfterAChange)->Unit(benchmark::kMillisecond);

void SaveAllFolders(benchmark::State& state) {
  const BigProfile profile;
  std::vector<std::string> folders = ReadUserImageFolders();
  folders.erase(folders.begin() + kFolders / 2);
  for (auto _ : state) {
    state.PauseTiming();
    profile.Write(0);
    state.ResumeTiming();
    if (!WriteUserImageFolders(folders)) state.SkipWithError("the folders were not saved");
  }
  if (ReadUserImageFolders() != folders) state.SkipWithError("the folders did not read back");
}
BENCHMARK(SaveAllFolders)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
