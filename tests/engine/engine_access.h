#pragma once
// The engine's one test-access point. Tests and benchmarks reach here what
// the engine keeps to itself: its recorded state and bookkeeping, to look at
// them and to set up a situation (a frame rate, a back-buffer size), and
// single steps (a frame-rate measurement, a device reset, a resize without
// the suspend count), to check or time one step alone. Everything else they
// ask through the engine's public calls.
#include <list>
#include <vector>

#include "engine/engine.h"

struct EngineTestAccess {
  CKVREngine& engine;

  // Start-up and the device.
  IDirect3D9* Direct3D() const { return engine.m_d3d; }
  const std::vector<AdapterInfo*>& Adapters() const { return engine.m_adapters; }
  DWORD ClearFlags() const { return engine.m_clearFlags; }
  D3DSURFACE_DESC& BackBufferDesc() const { return engine.m_backBufferDesc; }

  // The window and frame bookkeeping.
  bool Active() const { return engine.m_active; }
  bool DeviceLost() const { return engine.m_deviceLost; }
  bool Minimized() const { return engine.m_minimized; }
  double& Fps() const { return engine.m_fps; }

  // Recorded state.
  D3DCOLOR ClearColor() const { return engine.m_clearColor; }
  D3DCOLOR AmbientColor() const { return engine.m_ambientColor; }
  bool SpecularEnable() const { return engine.m_specularEnable; }
  bool FogEnable() const { return engine.m_fogEnable; }
  D3DCOLOR FogColor() const { return engine.m_fogColor; }
  float FogStart() const { return engine.m_fogStart; }
  float FogEnd() const { return engine.m_fogEnd; }
  const D3DLIGHT9* Light(DWORD index) const { return engine.m_lights[index]; }
  int LightEnabled(DWORD index) const { return engine.m_lightEnabled[index]; }

  // The listed records.
  const std::list<CKVRFont*>& Fonts() const { return engine.m_fonts; }
  const std::list<CKVRSprite*>& Sprites() const { return engine.m_sprites; }
  const std::list<CKVRTexture*>& Textures() const { return engine.m_textures; }

  // Single steps.
  void UpdateFPS() const { engine.UpdateFPS(); }
  void ApplyCameraTransforms() const { engine.ApplyCameraTransforms(); }
  HRESULT ResetDevice() const { return engine.ResetDevice(); }
  void MarkDeviceLost() const { engine.MarkDeviceLost(); }
  void OnSize(int sizeType) const { engine.OnSize(sizeType); }
  void HandleResize() const { engine.HandleResize(); }
};

// The insides of an engine (g_Engine in every test).
inline EngineTestAccess Inside(CKVREngine& engine) { return EngineTestAccess{engine}; }
