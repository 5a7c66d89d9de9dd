// libFuzzer target for the texture loader on the recording device: any file
// either makes a texture of a picture within the pixel budget or is refused
// with a reason, leaving no texture. The budget is small so that the fuzzer
// spends its time on headers rather than on decoding big legitimate pictures.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_file.h"
#include "platform/d3d9/d3dx9.h"
#include "platform/d3d9/recording/recording_device.h"

namespace {
RecordingScript g_script;
RecordingWindow g_window;
IDirect3DDevice9* g_device = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetPicturePixelBudget(256 * 256);
  IDirect3D9* d3d = Direct3DCreate9Recording(&g_script);
  D3DPRESENT_PARAMETERS p;
  p.Windowed = 1;
  if (!d3d || d3d->CreateDevice(0, D3DDEVTYPE_HAL, &g_window, 0, &p, &g_device) != D3D_OK) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "picture");
  g_script.m_log.Clear();
  D3DXIMAGE_INFO info;
  IDirect3DTexture9* texture = nullptr;
  const HRESULT hr = D3DXCreateTextureFromFileExA(
      g_device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED,
      D3DX_DEFAULT, D3DX_DEFAULT, 0xFFFF00FF, &info, nullptr, &texture);
  if (SUCCEEDED(hr)) {
    if (!texture || std::uint64_t(info.Width) * info.Height > PicturePixelBudget()) std::abort();
    texture->Release();
  } else if (texture || LastPictureError().empty()) {
    std::abort();
  }
  D3DXIMAGE_INFO header;
  (void)D3DXGetImageInfoFromFileA(path.c_str(), &header);
  return 0;
}
