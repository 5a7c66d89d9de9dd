#pragma once
// The engine's state: the Direct3D object and the one device, the adapter
// enumeration, the present parameters, the render states that must survive a
// device reset, the current camera, the frame-rate clock, the window-state
// bookkeeping and the lists of every font, sprite and texture record.
//
// There is one instance, g_Engine. Programs: InitDirect3D, CreateDevice with
// the main window, then per frame BeginFrame ... EndFrame (EndScene and
// Present; a lost device is noted for the next BeginFrame); Shutdown at the
// end.
//
// The state a frame or a device reset needs (camera, clear and ambient
// colours, fill mode, specular lighting, fog, lights) is set through the
// calls of "recorded state": each records the value and, with a device,
// applies it at once, so a reset or the next frame begin puts it back. The
// data members are private: others read them through the const calls of
// "what others read" and change them through one call each.
//
// The 2D layer (sprites, text, the screens' widgets) is laid out in layout
// pixels: the desktop's logical pixels, as a 96-dpi screen has them. The
// device draws it at LayoutScale() device pixels per layout pixel (the
// window's scale factor); sprite and font records convert at their draw
// calls, fonts are made at the scaled height. The 3D scene, the back buffer
// and the projection stay in device pixels. At scale 1 both units are one.
//
// Sections: enumeration records - engine - the scene light - globals and
// seams
#include <functional>
#include <list>
#include <vector>

#include "engine/camera.h"
#include "engine/timer.h"
#include "platform/d3d9/d3d9.h"
#include "support/init_result.h"

class CKVRFont;
class CKVRSprite;
class CKVRTexture;
struct EngineTestAccess;

// Size types the main window passes to CKVREngine::Resize.
inline constexpr int SIZE_RESTORED = 0;
inline constexpr int SIZE_MINIMIZED = 1;
inline constexpr int SIZE_MAXIMIZED = 2;

// ---- enumeration records ----------------------------------------------------------
using DisplayMode = D3DDISPLAYMODE;

struct AdapterInfo;

// What a windowed device can be made with.
struct DeviceCombo {
  std::vector<D3DFORMAT> m_depthStencilFormats;         // in preference order
  std::vector<D3DMULTISAMPLE_TYPE> m_multiSampleTypes;  // ascending
  std::vector<DisplayMode> m_displayModes;              // the desktop mode
  AdapterInfo* m_adapter = nullptr;
};

struct AdapterInfo {
  int m_ordinal = -1;  // 0 once enumerated
  D3DADAPTER_IDENTIFIER9 m_identifier;
  D3DCAPS9 m_caps;
  DeviceCombo m_windowedCombo;
};

// The mode of exactly width x height with the highest refresh rate, the first
// among equals; a zeroed mode (format D3DFMT_UNKNOWN) when none matches.
DisplayMode FindDisplayMode(const std::vector<DisplayMode>& modes, UINT width, UINT height);
// Keeps the candidates D24S8, D24X8, D24X4S4, D32, D16, D15S1 (in that order)
// that the adapter supports as depth buffers for the render-target format.
void EnumerateDepthStencilFormats(IDirect3D9* d3d, std::vector<D3DFORMAT>& list, D3DFORMAT adapterFormat,
                                  D3DFORMAT renderTargetFormat);
// Keeps the types 0..16 that the adapter supports, ascending.
void EnumerateMultiSampleTypes(IDirect3D9* d3d, std::vector<D3DMULTISAMPLE_TYPE>& list, D3DFORMAT format,
                               bool windowed);

// ---- engine ----------------------------------------------------------------------------
class CKVREngine {
 public:
  // Inactive, without a device; raises g_SuspendCount.
  CKVREngine();
  // Frees what remains (adapter records); releases no interface.
  ~CKVREngine();
  CKVREngine(const CKVREngine&) = delete;
  CKVREngine& operator=(const CKVREngine&) = delete;

  // Direct3DCreate9 and the enumeration of adapter 0.
  InitResult InitDirect3D();
  // A windowed device for window: the highest multisample type that works
  // with any listed depth format, with the first such format. vsync picks the
  // present interval. Afterwards the engine is active.
  InitResult CreateDevice(HWND window, bool vsync);
  // Starts a frame: handles a lost device, measures the frame rate, clears,
  // begins the scene and applies the camera. false: draw nothing this frame.
  bool BeginFrame();
  // The main window's size handler, the one sequence both programs run:
  // g_SuspendCount raised (the engine inactive), the window-state
  // bookkeeping of the size type (minimise suspends, once however often it
  // is repeated; restore/maximise resumes; a size event whose client has a
  // zero top and bottom is ignored), g_SuspendCount lowered again (active
  // when it is 0), then HandleResize: the window's scale factor taken and the
  // device reset when the client size changed. A zero-size client
  // (minimised) never resets; a failed reset marks the device lost, so the
  // next BeginFrame tries again.
  void Resize(int sizeType);
  // World-space ray through the view's point (x, y) in layout pixels (the
  // cursor's unit; device pixel x * LayoutScale()) of the current camera,
  // with the projection of the last frame begin. A camera must be set.
  void GetScreenRay(D3DXVECTOR3* origin, D3DXVECTOR3* direction, int x, int y);
  // Layout to device pixels: times LayoutScale(), rounded to the nearest
  // (halves away from zero); a rectangle edge by edge, so rectangles that
  // touch still touch. At scale 1 the value itself.
  LONG ToDevicePixels(LONG layout) const;
  RECT ToDevicePixels(const RECT& layout) const;
  // Device to layout pixels, rounded up: what covers `device` pixels fits
  // in the answer.
  LONG ToLayoutPixels(LONG device) const;
  // The back buffer's width and height in layout pixels (rounded up, so a
  // band across the answer covers the whole back buffer).
  SIZE LayoutSize() const;
  // Ends the frame: EndScene and Present; a Present that answers
  // D3DERR_DEVICELOST or D3DERR_DRIVERINTERNALERROR marks the device lost.
  // Answers Present's result.
  HRESULT EndFrame();

  // What others read.
  // The device; null before CreateDevice succeeds and after Shutdown.
  IDirect3DDevice9* Device() const { return m_device; }
  // The combination of adapter 0 the device was made with; null without one.
  const DeviceCombo* ComboInUse() const { return m_deviceCombo; }
  // Adapter 0's identifier; null before InitDirect3D and after Shutdown.
  const D3DADAPTER_IDENTIFIER9* AdapterIdentifier() const {
    return m_adapters.empty() ? nullptr : &m_adapters.front()->m_identifier;
  }
  // What the device was made (or last reset) with.
  const D3DPRESENT_PARAMETERS& PresentParameters() const { return m_presentParams; }
  // The back buffer's width and height in device pixels, as read at the
  // device's creation and its last reset; zero before.
  SIZE BackBufferSize() const { return SIZE{LONG(m_backBufferDesc.Width), LONG(m_backBufferDesc.Height)}; }
  // Device pixels per layout pixel (the window's scale factor).
  double LayoutScale() const { return m_layoutScale; }
  // Frames per second over the last interval of more than a second; 0
  // before the first.
  double Fps() const { return m_fps; }
  // The camera BeginFrame applies; null: none.
  const CKVRCamera* Camera() const { return m_camera; }
  // The projection of the last frame begin (identity before the first).
  const D3DXMATRIX& Projection() const { return m_projection; }

  // Recorded state (re-applied by a reset or at each frame begin).
  // The camera BeginFrame applies (not owned; null: none).
  void SetCamera(CKVRCamera* camera) { m_camera = camera; }
  // No camera when this one is the current one.
  void ForgetCamera(const CKVRCamera* camera);
  // BeginFrame's clear colour.
  void SetClearColor(D3DCOLOR colour) { m_clearColor = colour; }
  // D3DRS_AMBIENT, applied with the camera at each frame begin.
  void SetAmbientColor(D3DCOLOR colour) { m_ambientColor = colour; }
  void SetFillMode(D3DFILLMODE mode);
  void SetSpecularEnable(bool enable);
  // Fog on or off: FOGENABLE and RANGEFOGENABLE = flag, FOGVERTEXMODE linear.
  void SetFogEnable(bool enable);
  void SetFogColor(D3DCOLOR colour);
  // FOGSTART and FOGEND.
  void SetFogRange(float start, float end);
  // Light index (below D3DMAXLIGHTS) is the record, enabled. The record is
  // kept by address: it must stay where it is while it is listed.
  void SetLight(DWORD index, const D3DLIGHT9* light);
  // Every slot that lists the record lists none (its enable flag stays).
  void ForgetLight(const D3DLIGHT9* light);
  // Stage 0 = texture x diffuse, alpha off.
  void SetTextureStageModulate();
  // Stage 0 = diffuse x texture, alpha from the texture.
  void SetTextureStageModulateAlpha();
  // The records the engine releases at Shutdown and resets with the device:
  // each record lists itself when it is made and removes every occurrence of
  // itself when it goes (nothing when it is not listed).
  void RegisterFont(CKVRFont* font) { m_fonts.push_back(font); }
  void RegisterSprite(CKVRSprite* sprite) { m_sprites.push_back(sprite); }
  void RegisterTexture(CKVRTexture* texture) { m_textures.push_back(texture); }
  void UnregisterFont(CKVRFont* font);
  void UnregisterSprite(CKVRSprite* sprite);
  void UnregisterTexture(CKVRTexture* texture);
  // Releases the interfaces of every record (the records stay listed), the
  // adapter records, the device and the Direct3D object.
  void Shutdown();

 private:
  // Tests and benchmarks reach the steps and the state below through
  // EngineTestAccess (tests/engine/engine_access.h).
  friend struct EngineTestAccess;

  void Enumerate();
  InitResult CreateWindowedDevice(HWND window, UINT screenWidth, UINT screenHeight, bool vsync);
  void FillPresentParameters(const DisplayMode& mode, D3DFORMAT depthFormat, D3DMULTISAMPLE_TYPE multiSample,
                             bool vsync);
  void ReadBackBufferDesc();
  void SetDefaultStates();
  void OnLostDevice();
  void OnResetDevice();
  HRESULT ResetDevice();
  void UpdateFPS();
  void ApplyCameraTransforms();
  // The device counts as lost: the next BeginFrame tests it and resets it.
  void MarkDeviceLost() { m_deviceLost = true; }
  // m_active = (g_SuspendCount == 0).
  void UpdateActive();
  // Resize's window-state bookkeeping for the size type; a restore or
  // maximise that it does not ignore ends with HandleResize.
  void OnSize(int sizeType);
  // Takes the window's scale factor (UpdateLayoutScale), then resets the
  // device when the client size changed (see Resize).
  void HandleResize();
  // Reads the window's scale factor into m_layoutScale (one that is not a
  // positive number counts as 1); when it changed, every listed font is
  // made again at its new size. CreateDevice and HandleResize call it.
  void UpdateLayoutScale();

  std::list<CKVRFont*> m_fonts;
  std::list<CKVRSprite*> m_sprites;
  std::list<CKVRTexture*> m_textures;
  std::vector<AdapterInfo*> m_adapters;
  DeviceCombo* m_deviceCombo = nullptr;
  HWND m_focusWindow = nullptr;
  RECT m_clientRect;
  IDirect3D9* m_d3d = nullptr;
  IDirect3DDevice9* m_device = nullptr;
  D3DSURFACE_DESC m_backBufferDesc;
  D3DPRESENT_PARAMETERS m_presentParams;
  D3DXMATRIX m_projection;
  DWORD m_clearFlags = 0;
  CKVRCamera* m_camera = nullptr;
  D3DFILLMODE m_fillMode = 0;
  D3DCOLOR m_clearColor = 0xFF000000;
  D3DCOLOR m_ambientColor = 0xFFFFFFFF;
  bool m_specularEnable = false;
  bool m_fogEnable = false;
  D3DCOLOR m_fogColor = 0xFFFFFFFF;
  float m_fogStart = 0.0f;
  float m_fogEnd = 1024.0f;
  double m_layoutScale = 1.0;  // device pixels per layout pixel
  CKVRTimer m_fpsTimer;
  double m_fps = 0.0;
  int m_frameCount = 0;  // frames of the current frame-rate interval
  bool m_active = false;
  bool m_deviceLost = false;
  bool m_minimized = false;
  bool m_maximized = false;
  int m_lightEnabled[D3DMAXLIGHTS] = {};
  const D3DLIGHT9* m_lights[D3DMAXLIGHTS] = {};
};

// ---- the scene light -------------------------------------------------------------------
// The light of the play screen and the screen saver's scenes: a white
// directional light along the normalised direction with no ambient part,
// made g_Engine's light 0, and specular lighting turned on. The record must
// stay where it is while the engine may use it.
void SetSceneLight(D3DLIGHT9& light, const D3DXVECTOR3& direction);

// ---- globals and seams ----------------------------------------------------------------------
// The engine draws only while this is 0.
extern int g_SuspendCount;
extern CKVREngine g_Engine;

// How the engine waits while suspended or lost (milliseconds). Tests replace it;
// an empty function restores the real sleep. Answers the one it replaces.
std::function<void(int)> SetEngineSleep(std::function<void(int)> sleep);

// Replaces the sleep for the lifetime of the scope and puts the previous one
// back.
class ScopedEngineSleep {
 public:
  explicit ScopedEngineSleep(std::function<void(int)> sleep) : m_previous(SetEngineSleep(std::move(sleep))) {}
  ~ScopedEngineSleep() { SetEngineSleep(std::move(m_previous)); }
  ScopedEngineSleep(const ScopedEngineSleep&) = delete;
  ScopedEngineSleep& operator=(const ScopedEngineSleep&) = delete;

 private:
  std::function<void(int)> m_previous;
};
