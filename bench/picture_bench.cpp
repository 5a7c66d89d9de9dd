// The texture loader against hostile and large pictures on the recording
// device (no display): picture bombs (a few bytes declaring hundreds of
// megapixels) must be refused in well under 0.5 s, and a large legitimate
// photo must decode straight to the texture's size. Run one case under
// /usr/bin/time -v to read its peak memory, e.g.
//   /usr/bin/time -v build/bin/picture_bench --benchmark_filter=Bomb/0
//
// Sections: files - benchmarks - entry point
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "picture_bombs.h"
#include "platform/d3d9/d3dx9.h"
#include "platform/d3d9/recording/recording_device.h"

namespace {

// ---- files ----------------------------------------------------------------------------------
struct Pictures {
  ~Pictures() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  std::string folder;
  std::vector<std::string> bombs;  // jpg, png, bmp, gif
};

Pictures& Files() {
  static Pictures pictures = [] {
    Pictures p;
    char pattern[] = "/tmp/ravelle-picture-bench-XXXXXX";
    p.folder = ::mkdtemp(pattern);
    for (const auto& bomb : picture_bombs::All()) {
      const std::string path = p.folder + "/" + bomb.name;
      std::FILE* f = std::fopen(path.c_str(), "wb");
      std::fwrite(bomb.bytes.constData(), 1, size_t(bomb.bytes.size()), f);
      std::fclose(f);
      p.bombs.push_back(path);
    }
    return p;
  }();
  return pictures;
}

// Made on first use only, so that a bomb's run shows the bomb's memory alone.
const std::string& Photo() {
  static const std::string path = [] {
    QImage photo(7000, 5000, QImage::Format_RGB32);
    photo.fill(0xFF6080A0);
    const std::string made = Files().folder + "/photo.jpg";
    photo.save(QString::fromStdString(made), "JPEG", 80);
    return made;
  }();
  return path;
}

IDirect3DDevice9* Device() {
  static RecordingScript script;
  static RecordingWindow window;
  static IDirect3DDevice9* device = [] {
    IDirect3DDevice9* d = nullptr;
    D3DPRESENT_PARAMETERS p;
    p.Windowed = 1;
    Direct3DCreate9Recording(&script)->CreateDevice(0, D3DDEVTYPE_HAL, &window, 0, &p, &d);
    return d;
  }();
  script.m_log.Clear();
  return device;
}

HRESULT Load(const std::string& path) {
  IDirect3DTexture9* texture = nullptr;
  D3DXIMAGE_INFO info;
  const HRESULT hr = D3DXCreateTextureFromFileExA(Device(), path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1,
                                                  D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &texture);
  if (texture) texture->Release();
  return hr;
}

// ---- benchmarks ---------------------------------------------------------------------------------
// Arg: 0 JPEG 20000 x 20000, 1 PNG 22000 x 22000, 2 BMP 16000 x 16000,
// 3 GIF 65535 x 65535.
void Bomb(benchmark::State& state) {
  const std::string& path = Files().bombs[size_t(state.range(0))];
  for (auto _ : state)
    if (Load(path) != D3DERR_NOTAVAILABLE) state.SkipWithError("a picture bomb was decoded");
  state.SetLabel(path.substr(path.rfind('/') + 1));
}
BENCHMARK(Bomb)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A 7000 x 5000 JPEG (35 megapixels): within the budget, decoded straight to
// the 4096 x 4096 texture.
void LargePhoto(benchmark::State& state) {
  for (auto _ : state)
    if (Load(Photo()) != D3D_OK) state.SkipWithError("the photo did not load");
}
BENCHMARK(LargePhoto)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// ---- entry point ----------------------------------------------------------------------------------
BENCHMARK_MAIN();
