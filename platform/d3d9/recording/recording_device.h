#pragma once
// The recording back end: a Direct3D object and device that draw nothing,
// keep every resource in memory, log every call and fail where a test says.
// Logic tests use it instead of a GPU or a display; it needs no Qt
// application (texture files are decoded with QImage only).
//
// A test owns a RecordingScript, sets what the "hardware" supports and which
// calls fail, installs the factory (ScopedRecordingDevice) and reads the log and
// the device's state back.
//
// Log entries are one line each: the call's name and its key arguments in
// decimal, colours as 0xAARRGGBB, resources as vb<n>, ib<n>, tex<n> (numbered
// from 1 in creation order) or null. Examples:
//   "SetRenderState 29 1"        "SetTexture 0 tex2"      "Clear 0 3 0xFF000000"
//   "DrawIndexedPrimitive 4 10 0 6 12 2"  "VB.Lock vb1 0 0 0"  "Present"
//   "Sprite.Draw tex1"           "Font.DrawText 8 8 0xFFFFFFFF FPS = 60"
// A draw the device refuses (outside a scene, ranges outside its buffers)
// answers D3DERR_INVALIDCALL and is logged with " INVALID" appended. The
// state, bindings and checks are the shared device front end's
// (platform/d3d9/d3d9_front_end.h), the same as the GL device's.
//
// Sections: call log - script - window - creation
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3dx9.h"

// ---- call log --------------------------------------------------------------------
class CallLog {
 public:
  void Add(std::string entry) { m_entries.push_back(std::move(entry)); }
  void Clear() { m_entries.clear(); }
  const std::vector<std::string>& Entries() const { return m_entries; }
  // Entries equal to entry / starting with prefix.
  bool Contains(const std::string& entry) const;
  int Count(const std::string& prefix) const;
  std::vector<std::string> Matching(const std::string& prefix) const;
  // Position of the first entry equal to entry at or after from; -1 if none.
  int IndexOf(const std::string& entry, int from = 0) const;
  // All entries, one per line (for failure messages).
  std::string Dump() const;

 private:
  std::vector<std::string> m_entries;
};

// One ID3DXSprite::Draw as the recording sprite saw it.
struct RecordedSpriteDraw {
  int texture = 0;  // tex<n> number, 0 for null
  bool hasSource = false;
  RECT source;
  D3DXMATRIX transform;  // the sprite transform at the draw
  D3DXVECTOR3 position;
  D3DCOLOR color = 0;
  DWORD beginFlags = 0;
};

// One ID3DXFont::DrawTextA that drew (not DT_CALCRECT).
struct RecordedTextDraw {
  std::string text;
  RECT rect;
  DWORD format = 0;
  D3DCOLOR color = 0;
};

// ---- script --------------------------------------------------------------------------
// What the recording "hardware" does. Fields may change between calls; the
// objects read them live. Queues are consumed one entry per call; an empty
// queue means the normal answer.
struct RecordingScript {
  // The Direct3D object.
  bool m_failDirect3DCreate = false;
  D3DDISPLAYMODE m_desktopMode{1280, 1024, 60, D3DFMT_X8R8G8B8};
  D3DADAPTER_IDENTIFIER9 m_identifier;  // Driver "recording", Description "Recording device"
  D3DCAPS9 m_caps;                      // VertexProcessingCaps 1, 4096 x 4096 textures, 8 lights
  // Depth formats that pass CheckDeviceFormat and CheckDepthStencilMatch.
  std::vector<D3DFORMAT> m_depthFormats{D3DFMT_D24S8, D3DFMT_D16};
  // Types that pass CheckDeviceMultiSampleType.
  std::vector<D3DMULTISAMPLE_TYPE> m_multiSampleTypes{D3DMULTISAMPLE_NONE};
  // CreateDevice succeeds when the depth format and type are listed above and
  // this (when set) accepts the parameters.
  std::function<bool(const D3DPRESENT_PARAMETERS&)> m_deviceAccepts;

  // The device.
  std::deque<HRESULT> m_presentResults;  // a DEVICELOST answer makes the device lost
  // Empty: D3DERR_DEVICENOTRESET while lost, else D3D_OK.
  std::deque<HRESULT> m_cooperativeResults;
  std::deque<HRESULT> m_resetResults;  // a failure leaves the device lost
  std::deque<HRESULT> m_beginSceneResults;
  // Locks of buffers and texture levels are numbered from 0 in call order
  // (m_lockNumber counts them); the lock numbered m_failLockAt fails with
  // D3DERR_INVALIDCALL, and every lock fails while m_failAllLocks.
  int m_failLockAt = -1;
  bool m_failAllLocks = false;
  int m_lockNumber = 0;
  // Buffers and textures refused with D3DERR_OUTOFVIDEOMEMORY, as a device
  // that makes none; not counted as memory running out (OutOfMemoryCount).
  // A lack of memory at a chosen allocation is ScopedAllocationFailure's
  // (platform/d3d9/d3d9_resources.h), on either device.
  bool m_failResourceCreation = false;
  bool m_failSpriteCreation = false;
  bool m_failFontCreation = false;

  // What happened.
  CallLog m_log;
  // Every call answered with a failure the script did not ask for (chiefly
  // D3DERR_INVALIDCALL), as "<call> -> <code>": a call the program would
  // lose on a real device. Tests expect none unless they provoke them.
  std::vector<std::string> m_unexpectedFailures;
  std::vector<RecordedSpriteDraw> m_spriteDraws;
  std::vector<RecordedTextDraw> m_textDraws;

  RecordingScript();
  // Notes hr in m_unexpectedFailures when it is a failure; answers hr.
  HRESULT Unexpected(const std::string& call, HRESULT hr);
};

// ---- window ----------------------------------------------------------------------------
// A window of the size a test gives it: the client rectangle in device
// pixels, and the scale factor (device pixels per layout pixel).
class RecordingWindow : public HostWindow {
 public:
  RecordingWindow(LONG width = 800, LONG height = 600) : m_client{0, 0, width, height} {}
  bool GetClientRect(RECT* out) const override;
  SIZE GetScreenSize() const override { return m_screen; }
  double GetScaleFactor() const override { return m_scale; }
  void SetClientSize(LONG width, LONG height) { m_client = RECT{0, 0, width, height}; }

  RECT m_client;
  SIZE m_screen{1280, 1024};
  double m_scale = 1.0;
  bool m_failClientRect = false;
};

// ---- creation --------------------------------------------------------------------------
// A Direct3D object over the script (which must outlive it and its device);
// null when m_failDirect3DCreate.
IDirect3D9* Direct3DCreate9Recording(RecordingScript* script);
// Makes Direct3DCreate9 answer recording objects over script.
void UseRecordingDevice(RecordingScript* script);
// The same for the lifetime of the scope; the previous factory comes back.
class ScopedRecordingDevice : public ScopedDirect3DFactory {
 public:
  explicit ScopedRecordingDevice(RecordingScript* script);
};

// Font metric of recording fonts: every character (UTF-8 code point) is
// Width pixels wide (Height / 2 when Width is 0, at least 1), every line
// |Height| pixels high.
SIZE RecordingTextExtent(const D3DXFONT_DESCA& desc, const std::string& text);
