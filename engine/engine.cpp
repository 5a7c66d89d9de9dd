// The engine's state: start-up, enumeration, device creation, frame begin,
// lost-device handling and reset, resizing, the frame rate, the pick ray and
// the shared render-state operations.
//
// Sections: globals and seams - enumeration - construction and start-up -
// device creation - frames - the 2D layer's scale - reset - resizing -
// render states - the scene light - records - shutdown
#include "engine/engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <utility>

#include "engine/draw_resources.h"

// ---- globals and seams ------------------------------------------------------------------
int g_SuspendCount = 0;
// Constructed before, and destroyed after, every other global of the program,
// so records held by globals can unregister themselves at exit.
__attribute__((init_priority(101))) CKVREngine g_Engine;

namespace {
std::function<void(int)>& EngineSleep() {
  static std::function<void(int)> sleep;
  return sleep;
}

void Sleep(int milliseconds) {
  if (EngineSleep())
    EngineSleep()(milliseconds);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

constexpr const char* kNoAdapter = "No video adapter found for windowed mode.";
constexpr const char* kNoFormat = "No compatible video format found for windowed mode.";
}  // namespace

std::function<void(int)> SetEngineSleep(std::function<void(int)> sleep) {
  return std::exchange(EngineSleep(), std::move(sleep));
}

// ---- enumeration ---------------------------------------------------------------------------
DisplayMode FindDisplayMode(const std::vector<DisplayMode>& modes, UINT width, UINT height) {
  DisplayMode best;
  bool found = false;
  for (const DisplayMode& mode : modes) {
    if (mode.Width != width || mode.Height != height) continue;
    if (!found || mode.RefreshRate > best.RefreshRate) best = mode;
    found = true;
  }
  return found ? best : DisplayMode{};
}

void EnumerateDepthStencilFormats(IDirect3D9* d3d, std::vector<D3DFORMAT>& list, D3DFORMAT adapterFormat,
                                  D3DFORMAT renderTargetFormat) {
  static constexpr D3DFORMAT kCandidates[] = {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4,
                                              D3DFMT_D32,   D3DFMT_D16,   D3DFMT_D15S1};
  list.clear();
  for (D3DFORMAT candidate : kCandidates) {
    if (FAILED(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, adapterFormat, D3DUSAGE_DEPTHSTENCIL,
                                      D3DRTYPE_SURFACE, candidate)))
      continue;
    if (SUCCEEDED(
            d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, adapterFormat, renderTargetFormat, candidate)))
      list.push_back(candidate);
  }
}

void EnumerateMultiSampleTypes(IDirect3D9* d3d, std::vector<D3DMULTISAMPLE_TYPE>& list, D3DFORMAT format,
                               bool windowed) {
  list.clear();
  for (D3DMULTISAMPLE_TYPE type = D3DMULTISAMPLE_NONE; type <= D3DMULTISAMPLE_16_SAMPLES; ++type)
    if (SUCCEEDED(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, format, windowed, type, nullptr)))
      list.push_back(type);
}

void CKVREngine::Enumerate() {
  auto* adapter = new AdapterInfo;
  adapter->m_ordinal = 0;
  m_d3d->GetAdapterIdentifier(0, 0, &adapter->m_identifier);
  DisplayMode desktop;
  m_d3d->GetAdapterDisplayMode(0, &desktop);
  DeviceCombo& combo = adapter->m_windowedCombo;
  combo.m_adapter = adapter;
  combo.m_displayModes = {desktop};
  m_d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &adapter->m_caps);
  EnumerateDepthStencilFormats(m_d3d, combo.m_depthStencilFormats, desktop.Format, desktop.Format);
  EnumerateMultiSampleTypes(m_d3d, combo.m_multiSampleTypes, desktop.Format, true);
  m_adapters.push_back(adapter);
}

// ---- construction and start-up --------------------------------------------------------------
CKVREngine::CKVREngine() {
  D3DXMatrixIdentity(&m_projection);
  ++g_SuspendCount;
  UpdateActive();
}

CKVREngine::~CKVREngine() {
  for (AdapterInfo* adapter : m_adapters) delete adapter;
  m_adapters.clear();
}

void CKVREngine::UpdateActive() { m_active = (g_SuspendCount == 0); }

InitResult CKVREngine::InitDirect3D() {
  m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!m_d3d) return InitResult::Fail("DirectX could not be initialized");
  Enumerate();
  return InitResult::Ok();
}

// ---- device creation ---------------------------------------------------------------------------
InitResult CKVREngine::CreateDevice(HWND window, bool vsync) {
  m_focusWindow = window;
  if (window) window->GetClientRect(&m_clientRect);
  const SIZE screen = window ? window->GetScreenSize() : SIZE{};
  InitResult result = CreateWindowedDevice(window, UINT(screen.cx), UINT(screen.cy), vsync);
  if (!result.success) return result;
  ReadBackBufferDesc();
  SetDefaultStates();
  UpdateLayoutScale();
  --g_SuspendCount;
  UpdateActive();
  m_fpsTimer.Start(0.0);
  m_frameCount = 0;
  return InitResult::Ok();
}

InitResult CKVREngine::CreateWindowedDevice(HWND window, UINT screenWidth, UINT screenHeight, bool vsync) {
  if (m_adapters.empty() || !m_d3d) return InitResult::Fail(kNoAdapter);
  AdapterInfo* adapter = m_adapters.front();
  const DWORD behavior = adapter->m_caps.VertexProcessingCaps != 0 ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                                   : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  DeviceCombo& combo = adapter->m_windowedCombo;
  const DisplayMode mode = FindDisplayMode(combo.m_displayModes, screenWidth, screenHeight);
  const auto& types = combo.m_multiSampleTypes;
  for (auto type = types.rbegin(); type != types.rend(); ++type) {
    for (D3DFORMAT depth : combo.m_depthStencilFormats) {
      FillPresentParameters(mode, depth, *type, vsync);
      if (SUCCEEDED(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, behavior, &m_presentParams, &m_device))) {
        m_deviceCombo = &combo;
        return InitResult::Ok();
      }
      m_device = nullptr;
    }
  }
  m_deviceCombo = nullptr;
  return InitResult::Fail(kNoFormat);
}

void CKVREngine::FillPresentParameters(const DisplayMode& mode, D3DFORMAT depthFormat,
                                       D3DMULTISAMPLE_TYPE multiSample, bool vsync) {
  m_clearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
  if (!m_focusWindow || !m_focusWindow->GetClientRect(&m_clientRect)) return;
  m_presentParams = {};
  m_presentParams.BackBufferWidth = UINT(RectWidth(m_clientRect));
  m_presentParams.BackBufferHeight = UINT(RectHeight(m_clientRect));
  m_presentParams.BackBufferFormat = mode.Format;
  m_presentParams.BackBufferCount = 1;
  m_presentParams.MultiSampleType = multiSample;
  m_presentParams.MultiSampleQuality = 0;
  m_presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
  m_presentParams.hDeviceWindow = m_focusWindow;
  m_presentParams.Windowed = 1;
  m_presentParams.EnableAutoDepthStencil = 1;
  m_presentParams.AutoDepthStencilFormat = depthFormat;
  m_presentParams.Flags = 0;
  m_presentParams.FullScreen_RefreshRateInHz = 0;
  m_presentParams.PresentationInterval = vsync ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
}

void CKVREngine::ReadBackBufferDesc() {
  IDirect3DSurface9* backBuffer = nullptr;
  if (FAILED(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) return;
  backBuffer->GetDesc(&m_backBufferDesc);
  backBuffer->Release();
}

void CKVREngine::SetDefaultStates() {
  m_device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, 1);
  m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  m_device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
}

// ---- frames ---------------------------------------------------------------------------------------
bool CKVREngine::BeginFrame() {
  if (m_deviceLost || !m_active) Sleep(50);
  if (!m_device) return false;
  if (m_deviceLost && m_active) {
    const HRESULT hr = m_device->TestCooperativeLevel();
    if (SUCCEEDED(hr)) {
      m_deviceLost = false;
    } else if (hr == D3DERR_DEVICELOST) {
      return false;
    } else {
      if (FAILED(ResetDevice())) return false;
      m_deviceLost = false;
    }
  }
  UpdateFPS();
  m_device->Clear(0, nullptr, m_clearFlags, m_clearColor, 1.0f, 0);
  if (FAILED(m_device->BeginScene())) return false;
  ApplyCameraTransforms();
  return true;
}

HRESULT CKVREngine::EndFrame() {
  m_device->EndScene();
  const HRESULT hr = m_device->Present(nullptr, nullptr, nullptr, nullptr);
  if (hr == D3DERR_DEVICELOST || hr == D3DERR_DRIVERINTERNALERROR) MarkDeviceLost();
  return hr;
}

void CKVREngine::UpdateFPS() {
  ++m_frameCount;
  const double elapsed = m_fpsTimer.GetElapsed();
  if (elapsed <= 1.0) return;
  m_fps = m_frameCount / elapsed;
  m_fpsTimer.Start(0.0);
  m_frameCount = 0;
}

void CKVREngine::ApplyCameraTransforms() {
  if (!m_camera) return;
  m_device->SetRenderState(D3DRS_AMBIENT, m_ambientColor);
  // A zero-height back buffer (minimised window) keeps a square aspect.
  const float aspect = (m_backBufferDesc.Width && m_backBufferDesc.Height)
                           ? float(m_backBufferDesc.Width) / float(m_backBufferDesc.Height)
                           : 1.0f;
  D3DXMatrixPerspectiveFovLH(&m_projection, m_camera->m_fieldOfView, aspect, m_camera->m_nearPlane,
                             m_camera->m_farPlane);
  m_device->SetTransform(D3DTS_PROJECTION, &m_projection);
  m_device->SetTransform(D3DTS_VIEW, &m_camera->m_view);
}

void CKVREngine::GetScreenRay(D3DXVECTOR3* origin, D3DXVECTOR3* direction, int x, int y) {
  if (!m_camera) {
    *origin = *direction = D3DXVECTOR3(0, 0, 0);
    return;
  }
  const float width = float(m_presentParams.BackBufferWidth);
  const float height = float(m_presentParams.BackBufferHeight);
  const float px = float(x * m_layoutScale), py = float(y * m_layoutScale);
  // With no back-buffer size the ray goes through the centre.
  const float nx = width > 0 ? 2.0f * px / width - 1.0f : 0.0f;
  const float ny = height > 0 ? 1.0f - 2.0f * py / height : 0.0f;
  const D3DXVECTOR3 v(nx / m_projection._11, ny / m_projection._22, 1.0f);
  D3DXMATRIX inverse;
  D3DXMatrixIdentity(&inverse);
  D3DXMatrixInverse(&inverse, nullptr, &m_camera->m_view);
  const D3DXVECTOR3 zero(0, 0, 0);
  D3DXVec3TransformCoord(origin, &zero, &inverse);
  D3DXVec3TransformNormal(direction, &v, &inverse);
  D3DXVec3Normalize(direction, direction);
}

// ---- the 2D layer's scale ------------------------------------------------------------------------
void CKVREngine::UpdateLayoutScale() {
  const double factor = m_focusWindow ? m_focusWindow->GetScaleFactor() : 1.0;
  const double scale = factor > 0.0 && std::isfinite(factor) ? factor : 1.0;
  if (scale == m_layoutScale) return;
  m_layoutScale = scale;
  for (CKVRFont* font : m_fonts) font->Rescale();
}

LONG CKVREngine::ToDevicePixels(LONG layout) const {
  if (m_layoutScale == 1.0) return layout;
  return LONG(std::lround(double(layout) * m_layoutScale));
}

RECT CKVREngine::ToDevicePixels(const RECT& layout) const {
  return RECT{ToDevicePixels(layout.left), ToDevicePixels(layout.top), ToDevicePixels(layout.right),
              ToDevicePixels(layout.bottom)};
}

LONG CKVREngine::ToLayoutPixels(LONG device) const {
  if (m_layoutScale == 1.0) return device;
  // The tolerance keeps a quotient that is whole but for rounding whole.
  return LONG(std::ceil(double(device) / m_layoutScale - 1e-6));
}

SIZE CKVREngine::LayoutSize() const {
  return SIZE{ToLayoutPixels(LONG(m_backBufferDesc.Width)), ToLayoutPixels(LONG(m_backBufferDesc.Height))};
}

// ---- reset ------------------------------------------------------------------------------------------
void CKVREngine::OnLostDevice() {
  for (CKVRFont* font : m_fonts)
    if (font->m_font) font->m_font->OnLostDevice();
  for (CKVRSprite* sprite : m_sprites)
    if (sprite->m_sprite) sprite->m_sprite->OnLostDevice();
}

void CKVREngine::OnResetDevice() {
  for (CKVRFont* font : m_fonts)
    if (font->m_font) font->m_font->OnResetDevice();
  for (CKVRSprite* sprite : m_sprites)
    if (sprite->m_sprite) sprite->m_sprite->OnResetDevice();
  for (DWORD i = 0; i < D3DMAXLIGHTS; ++i) {
    if (m_lights[i]) m_device->SetLight(i, m_lights[i]);
    m_device->LightEnable(i, m_lightEnabled[i]);
  }
}

HRESULT CKVREngine::ResetDevice() {
  OnLostDevice();
  const HRESULT hr = m_device->Reset(&m_presentParams);
  if (FAILED(hr)) return hr;
  ReadBackBufferDesc();
  OnResetDevice();
  SetFillMode(m_fillMode);
  SetFogEnable(m_fogEnable);
  SetFogColor(m_fogColor);
  SetFogRange(m_fogStart, m_fogEnd);
  SetSpecularEnable(m_specularEnable);
  SetDefaultStates();
  return D3D_OK;
}

// ---- resizing ------------------------------------------------------------------------------------------
void CKVREngine::Resize(int sizeType) {
  ++g_SuspendCount;
  UpdateActive();
  OnSize(sizeType);
  --g_SuspendCount;
  UpdateActive();
  HandleResize();
}

void CKVREngine::OnSize(int sizeType) {
  if (sizeType == SIZE_MINIMIZED) {
    // A repeated minimise holds no second suspension: the restore or maximise
    // that follows lowers the counter only once.
    if (!m_minimized) ++g_SuspendCount;
    m_minimized = true;
    m_maximized = false;
    UpdateActive();
    return;
  }
  if (sizeType != SIZE_MAXIMIZED && sizeType != SIZE_RESTORED) return;
  RECT client;
  if (!m_focusWindow || !m_focusWindow->GetClientRect(&client)) return;
  if (client.top == 0 && client.bottom == 0) return;
  if (sizeType == SIZE_MAXIMIZED) {
    if (m_minimized) {
      --g_SuspendCount;
      UpdateActive();
    }
    m_maximized = true;
    m_minimized = false;
  } else if (m_maximized) {
    m_maximized = false;
  } else if (m_minimized) {
    --g_SuspendCount;
    m_minimized = false;
    UpdateActive();
  }
  HandleResize();
}

void CKVREngine::HandleResize() {
  if (!m_device || !m_focusWindow) return;
  UpdateLayoutScale();
  RECT client;
  if (!m_focusWindow->GetClientRect(&client)) return;
  // A minimised window has no client area: keep the back buffer as it is.
  if (RectWidth(client) <= 0 || RectHeight(client) <= 0) return;
  if (RectWidth(client) == RectWidth(m_clientRect) && RectHeight(client) == RectHeight(m_clientRect)) return;
  m_clientRect = client;
  m_presentParams.BackBufferWidth = UINT(RectWidth(client));
  m_presentParams.BackBufferHeight = UINT(RectHeight(client));
  // A failed reset leaves the device lost: the next frame begin tries again.
  if (FAILED(ResetDevice())) m_deviceLost = true;
}

// ---- render states -----------------------------------------------------------------------------------
void CKVREngine::ForgetCamera(const CKVRCamera* camera) {
  if (m_camera == camera) m_camera = nullptr;
}

void CKVREngine::SetFillMode(D3DFILLMODE mode) {
  m_fillMode = mode;
  if (m_device) m_device->SetRenderState(D3DRS_FILLMODE, mode);
}

void CKVREngine::SetSpecularEnable(bool enable) {
  m_specularEnable = enable;
  if (m_device) m_device->SetRenderState(D3DRS_SPECULARENABLE, enable ? 1 : 0);
}

void CKVREngine::SetFogEnable(bool enable) {
  m_fogEnable = enable;
  if (!m_device) return;
  m_device->SetRenderState(D3DRS_FOGENABLE, enable ? 1 : 0);
  m_device->SetRenderState(D3DRS_RANGEFOGENABLE, enable ? 1 : 0);
  m_device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
}

void CKVREngine::SetFogColor(D3DCOLOR colour) {
  m_fogColor = colour;
  if (m_device) m_device->SetRenderState(D3DRS_FOGCOLOR, colour);
}

void CKVREngine::SetFogRange(float start, float end) {
  m_fogStart = start;
  m_fogEnd = end;
  if (!m_device) return;
  m_device->SetRenderState(D3DRS_FOGSTART, FloatToDWORD(start));
  m_device->SetRenderState(D3DRS_FOGEND, FloatToDWORD(end));
}

void CKVREngine::SetLight(DWORD index, const D3DLIGHT9* light) {
  if (index >= D3DMAXLIGHTS) return;
  m_lights[index] = light;
  m_lightEnabled[index] = 1;
  if (!m_device) return;
  m_device->SetLight(index, light);
  m_device->LightEnable(index, 1);
}

void CKVREngine::ForgetLight(const D3DLIGHT9* light) {
  for (const D3DLIGHT9*& listed : m_lights)
    if (listed == light) listed = nullptr;
}

void CKVREngine::SetTextureStageModulate() {
  m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void CKVREngine::SetTextureStageModulateAlpha() {
  m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
  m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
}

// ---- the scene light --------------------------------------------------------------------------------------
void SetSceneLight(D3DLIGHT9& light, const D3DXVECTOR3& direction) {
  light = D3DLIGHT9();
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Specular = {1, 1, 1, 1};
  light.Ambient = {0, 0, 0, 0};
  light.Attenuation0 = 1.0f;
  D3DXVec3Normalize(&light.Direction, &direction);
  g_Engine.SetLight(0, &light);
  g_Engine.SetSpecularEnable(true);
}

// ---- records ----------------------------------------------------------------------------------------------
void CKVREngine::UnregisterFont(CKVRFont* font) { m_fonts.remove(font); }
void CKVREngine::UnregisterSprite(CKVRSprite* sprite) { m_sprites.remove(sprite); }
void CKVREngine::UnregisterTexture(CKVRTexture* texture) { m_textures.remove(texture); }

// ---- shutdown
// ----------------------------------------------------------------------------------------------
void CKVREngine::Shutdown() {
  for (CKVRFont* font : m_fonts) font->Release();
  for (CKVRSprite* sprite : m_sprites) sprite->Release();
  for (CKVRTexture* texture : m_textures) texture->Release();
  for (AdapterInfo* adapter : m_adapters) delete adapter;
  m_adapters.clear();
  m_deviceCombo = nullptr;
  if (m_device) m_device->Release();
  m_device = nullptr;
  if (m_d3d) m_d3d->Release();
  m_d3d = nullptr;
}
