// The recording back end: Direct3D object, device, sprite and font that log
// their calls and keep their state and resources in memory.
//
// Sections: call log - script and window - formatting - sprite and font -
// device - Direct3D object - creation
#include "platform/d3d9/recording/recording_device.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>

#include "platform/d3d9/d3d9_front_end.h"

namespace {
std::string Hex(DWORD value);
}

// ---- call log --------------------------------------------------------------------
bool CallLog::Contains(const std::string& entry) const {
  return std::find(m_entries.begin(), m_entries.end(), entry) != m_entries.end();
}

int CallLog::Count(const std::string& prefix) const {
  return int(std::count_if(m_entries.begin(), m_entries.end(),
                           [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

std::vector<std::string> CallLog::Matching(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& e : m_entries)
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  return out;
}

int CallLog::IndexOf(const std::string& entry, int from) const {
  for (size_t i = size_t(std::max(from, 0)); i < m_entries.size(); ++i)
    if (m_entries[i] == entry) return int(i);
  return -1;
}

std::string CallLog::Dump() const {
  std::string out;
  for (const auto& e : m_entries) out += e + "\n";
  return out;
}

// ---- script and window -----------------------------------------------------------------
HRESULT RecordingScript::Unexpected(const std::string& call, HRESULT hr) {
  if (FAILED(hr)) m_unexpectedFailures.push_back(call + " -> " + Hex(DWORD(hr)));
  return hr;
}

RecordingScript::RecordingScript() {
  std::strcpy(m_identifier.Driver, "recording");
  std::strcpy(m_identifier.Description, "Recording device");
  m_caps.DeviceType = D3DDEVTYPE_HAL;
  m_caps.MaxTextureWidth = 4096;
  m_caps.MaxTextureHeight = 4096;
  m_caps.MaxActiveLights = D3DMAXLIGHTS;
  m_caps.VertexProcessingCaps = 1;
  m_caps.MaxVertexIndex = 0xFFFF;
}

bool RecordingWindow::GetClientRect(RECT* out) const {
  if (m_failClientRect || !out) return false;
  *out = m_client;
  return true;
}

SIZE RecordingTextExtent(const D3DXFONT_DESCA& desc, const std::string& text) {
  const LONG lineHeight = desc.Height < 0 ? -desc.Height : desc.Height;
  const LONG advance = desc.Width ? LONG(desc.Width) : std::max<LONG>(1, lineHeight / 2);
  LONG widest = 0, current = 0, lines = 1;
  for (unsigned char c : text) {
    if (c == '\n') {
      widest = std::max(widest, current);
      current = 0;
      ++lines;
    } else if ((c & 0xC0) != 0x80) {
      ++current;  // count code points, not bytes
    }
  }
  widest = std::max(widest, current);
  return SIZE{widest * advance, text.empty() ? 0 : lines * lineHeight};
}

// ---- formatting ----------------------------------------------------------------------
namespace {

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

std::string Hex(DWORD value) { return Format("0x%08X", unsigned(value)); }

bool Contains(const std::vector<DWORD>& list, DWORD value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

HRESULT Pop(std::deque<HRESULT>& queue, HRESULT normal) {
  if (queue.empty()) return normal;
  const HRESULT hr = queue.front();
  queue.pop_front();
  return hr;
}

}  // namespace

// ---- sprite and font ----------------------------------------------------------------
class RecordingDevice;

namespace {

class RecordingSprite : public ID3DXSprite {
 public:
  RecordingSprite(IDirect3DDevice9* device, RecordingScript* script,
                  std::function<int(const void*)> textureNumber)
      : m_device(device), m_script(script), m_textureNumber(std::move(textureNumber)) {
    m_device->AddRef();
    D3DXMatrixIdentity(&m_transform);
  }
  ~RecordingSprite() override { m_device->Release(); }

  HRESULT Begin(DWORD flags) override {
    m_script->m_log.Add(Format("Sprite.Begin %u", unsigned(flags)));
    if (m_inBatch) return m_script->Unexpected("Sprite.Begin", D3DERR_INVALIDCALL);
    m_inBatch = true;
    m_flags = flags;
    return D3D_OK;
  }
  HRESULT SetTransform(const D3DXMATRIX* transform) override {
    if (!transform) return m_script->Unexpected("Sprite.SetTransform", D3DERR_INVALIDCALL);
    m_script->m_log.Add("Sprite.SetTransform");
    m_transform = *transform;
    return D3D_OK;
  }
  HRESULT GetTransform(D3DXMATRIX* transform) override {
    if (!transform) return D3DERR_INVALIDCALL;
    *transform = m_transform;
    return D3D_OK;
  }
  HRESULT Draw(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* center,
               const D3DXVECTOR3* position, D3DCOLOR color) override {
    const int number = texture ? m_textureNumber(texture) : 0;
    m_script->m_log.Add(Format("Sprite.Draw %s", number ? Format("tex%d", number).c_str() : "null"));
    if (!m_inBatch) return m_script->Unexpected("Sprite.Draw", D3DERR_INVALIDCALL);
    RecordedSpriteDraw draw;
    draw.texture = number;
    draw.hasSource = source != nullptr;
    if (source) draw.source = *source;
    draw.transform = m_transform;
    if (position) draw.position = *position;
    if (center) draw.position -= *center;
    draw.color = color;
    draw.beginFlags = m_flags;
    m_script->m_spriteDraws.push_back(draw);
    return D3D_OK;
  }
  HRESULT End() override {
    m_script->m_log.Add("Sprite.End");
    if (!m_inBatch) return m_script->Unexpected("Sprite.End", D3DERR_INVALIDCALL);
    m_inBatch = false;
    return D3D_OK;
  }
  HRESULT OnLostDevice() override {
    m_script->m_log.Add("Sprite.OnLostDevice");
    return D3D_OK;
  }
  HRESULT OnResetDevice() override {
    m_script->m_log.Add("Sprite.OnResetDevice");
    return D3D_OK;
  }

 private:
  IDirect3DDevice9* m_device;
  RecordingScript* m_script;
  std::function<int(const void*)> m_textureNumber;
  D3DXMATRIX m_transform;
  bool m_inBatch = false;
  DWORD m_flags = 0;
};

class RecordingFont : public ID3DXFont {
 public:
  RecordingFont(IDirect3DDevice9* device, RecordingScript* script, const D3DXFONT_DESCA& desc)
      : m_device(device), m_script(script), m_desc(desc) {
    m_device->AddRef();
  }
  ~RecordingFont() override { m_device->Release(); }

  INT DrawTextA(ID3DXSprite*, const char* text, INT count, RECT* rect, DWORD format,
                D3DCOLOR color) override {
    if (!text || !rect) return 0;
    const std::string s = count < 0 ? std::string(text) : std::string(text, size_t(count));
    const SIZE extent = RecordingTextExtent(m_desc, s);
    if (format & DT_CALCRECT) {
      m_script->m_log.Add("Font.CalcRect " + s);
      rect->right = rect->left + extent.cx;
      rect->bottom = rect->top + extent.cy;
      return extent.cy;
    }
    m_script->m_log.Add(Format("Font.DrawText %d %d ", int(rect->left), int(rect->top)) + Hex(color) + " " +
                        s);
    m_script->m_textDraws.push_back(RecordedTextDraw{s, *rect, format, color});
    return extent.cy;
  }
  HRESULT GetDescA(D3DXFONT_DESCA* desc) override {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = m_desc;
    return D3D_OK;
  }
  HRESULT OnLostDevice() override {
    m_script->m_log.Add("Font.OnLostDevice");
    return D3D_OK;
  }
  HRESULT OnResetDevice() override {
    m_script->m_log.Add("Font.OnResetDevice");
    return D3D_OK;
  }

 private:
  IDirect3DDevice9* m_device;
  RecordingScript* m_script;
  D3DXFONT_DESCA m_desc;
};

}  // namespace

// ---- device ---------------------------------------------------------------------------
// The front end keeps the state and answers; this device logs each call and
// notes every failure the script did not ask for.
class RecordingDevice : public DeviceFrontEnd {
 public:
  RecordingDevice(IDirect3D9* d3d, RecordingScript* script, HWND window, const D3DPRESENT_PARAMETERS& params)
      : DeviceFrontEnd(window, params, script->m_desktopMode.Format), m_d3d(d3d), m_s(script) {
    m_d3d->AddRef();
  }

  ~RecordingDevice() override {
    ReleaseBindings();
    m_d3d->Release();
  }

  // -- lifetime --
  HRESULT TestCooperativeLevel() override {
    const HRESULT hr = Pop(m_s->m_cooperativeResults, DeviceFrontEnd::TestCooperativeLevel());
    Log("TestCooperativeLevel " + Hex(DWORD(hr)));
    return hr;
  }
  HRESULT Reset(D3DPRESENT_PARAMETERS* params) override {
    if (params)
      Log(Format("Reset %u %u ms=%u depth=%u interval=", params->BackBufferWidth, params->BackBufferHeight,
                 unsigned(params->MultiSampleType), unsigned(params->AutoDepthStencilFormat)) +
          Hex(params->PresentationInterval));
    m_scripted = D3D_OK;
    const HRESULT hr = DeviceFrontEnd::Reset(params);
    return hr == m_scripted ? hr : Answer("Reset", hr);
  }
  HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow, const void* region) override {
    Log("Present");
    m_scripted = D3D_OK;
    const HRESULT hr = DeviceFrontEnd::Present(source, dest, overrideWindow, region);
    if (hr == D3DERR_DEVICELOST && IsLost()) return hr;  // lost before: the script's doing
    return hr == m_scripted ? hr : Answer("Present", hr);
  }
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                        IDirect3DSurface9** surface) override {
    return Answer("GetBackBuffer", DeviceFrontEnd::GetBackBuffer(swapChain, index, type, surface));
  }
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override {
    const std::string entry = Format("Clear %u %u ", unsigned(count), unsigned(flags)) + Hex(color) +
                              Format(" %g %u", double(z), unsigned(stencil));
    Log(entry);
    return Answer(entry, DeviceFrontEnd::Clear(count, rects, flags, color, z, stencil));
  }
  HRESULT BeginScene() override {
    Log("BeginScene");
    if (!InScene()) {
      const HRESULT hr = Pop(m_s->m_beginSceneResults, D3D_OK);
      if (FAILED(hr)) return hr;
    }
    return Answer("BeginScene", DeviceFrontEnd::BeginScene());
  }
  HRESULT EndScene() override {
    Log("EndScene");
    return Answer("EndScene", DeviceFrontEnd::EndScene());
  }

  // -- state --
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    return Logged(Format("SetRenderState %u %u", unsigned(state), unsigned(value)),
                  DeviceFrontEnd::SetRenderState(state, value));
  }
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
    return Answer(Format("GetRenderState %u", unsigned(state)), DeviceFrontEnd::GetRenderState(state, value));
  }
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override {
    return Logged(Format("SetSamplerState %u %u %u", unsigned(sampler), unsigned(type), unsigned(value)),
                  DeviceFrontEnd::SetSamplerState(sampler, type, value));
  }
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override {
    return Answer(Format("GetSamplerState %u %u", unsigned(sampler), unsigned(type)),
                  DeviceFrontEnd::GetSamplerState(sampler, type, value));
  }
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
    return Logged(Format("SetTextureStageState %u %u %u", unsigned(stage), unsigned(type), unsigned(value)),
                  DeviceFrontEnd::SetTextureStageState(stage, type, value));
  }
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
    return Answer(Format("GetTextureStageState %u %u", unsigned(stage), unsigned(type)),
                  DeviceFrontEnd::GetTextureStageState(stage, type, value));
  }
  HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) override {
    return Logged(Format("SetTexture %u ", unsigned(stage)) + Name(texture),
                  DeviceFrontEnd::SetTexture(stage, texture));
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
    return Logged(Format("SetTransform %u", unsigned(state)), DeviceFrontEnd::SetTransform(state, matrix));
  }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    return Answer(Format("GetTransform %u", unsigned(state)), DeviceFrontEnd::GetTransform(state, matrix));
  }
  HRESULT SetMaterial(const D3DMATERIAL9* material) override {
    return Logged("SetMaterial", DeviceFrontEnd::SetMaterial(material));
  }
  HRESULT GetMaterial(D3DMATERIAL9* material) override {
    return Answer("GetMaterial", DeviceFrontEnd::GetMaterial(material));
  }
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override {
    return Logged(Format("SetLight %u", unsigned(index)), DeviceFrontEnd::SetLight(index, light));
  }
  HRESULT GetLight(DWORD index, D3DLIGHT9* light) override {
    return Answer(Format("GetLight %u", unsigned(index)), DeviceFrontEnd::GetLight(index, light));
  }
  HRESULT LightEnable(DWORD index, BOOL enable) override {
    return Logged(Format("LightEnable %u %d", unsigned(index), enable ? 1 : 0),
                  DeviceFrontEnd::LightEnable(index, enable));
  }
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override {
    return Answer(Format("GetLightEnable %u", unsigned(index)),
                  DeviceFrontEnd::GetLightEnable(index, enable));
  }
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override {
    if (!viewport) return Answer("SetViewport null", D3DERR_INVALIDCALL);
    return Logged(Format("SetViewport %u %u %u %u", unsigned(viewport->X), unsigned(viewport->Y),
                         unsigned(viewport->Width), unsigned(viewport->Height)),
                  DeviceFrontEnd::SetViewport(viewport));
  }
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override {
    return Answer("GetViewport", DeviceFrontEnd::GetViewport(viewport));
  }

  // -- resources --
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** buffer, HANDLE* shared) override {
    const std::string entry =
        Format("CreateVertexBuffer %u %u %u %u", length, unsigned(usage), unsigned(fvf), unsigned(pool));
    Log(entry);
    if (SUCCEEDED(CheckBufferArguments(length, buffer, shared)) && m_s->m_failResourceCreation)
      return Fail(buffer, D3DERR_OUTOFVIDEOMEMORY);
    return Answer(entry, DeviceFrontEnd::CreateVertexBuffer(length, usage, fvf, pool, buffer, shared));
  }
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* shared) override {
    const std::string entry =
        Format("CreateIndexBuffer %u %u %u %u", length, unsigned(usage), unsigned(format), unsigned(pool));
    Log(entry);
    if (SUCCEEDED(CheckBufferArguments(length, buffer, shared)) && format == D3DFMT_INDEX16 &&
        m_s->m_failResourceCreation)
      return Fail(buffer, D3DERR_OUTOFVIDEOMEMORY);
    return Answer(entry, DeviceFrontEnd::CreateIndexBuffer(length, usage, format, pool, buffer, shared));
  }
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* shared) override {
    const std::string entry = Format("CreateTexture %u %u %u %u %u %u", width, height, levels,
                                     unsigned(usage), unsigned(format), unsigned(pool));
    Log(entry);
    if (SUCCEEDED(CheckTextureArguments(width, height, levels, format, texture, shared)) &&
        m_s->m_failResourceCreation)
      return Fail(texture, D3DERR_OUTOFVIDEOMEMORY);
    return Answer(entry,
                  DeviceFrontEnd::CreateTexture(width, height, levels, usage, format, pool, texture, shared));
  }

  // -- drawing --
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override {
    return Logged(Format("SetStreamSource %u ", stream) + Name(buffer) + Format(" %u %u", offset, stride),
                  DeviceFrontEnd::SetStreamSource(stream, buffer, offset, stride));
  }
  HRESULT SetFVF(DWORD fvf) override {
    return Logged(Format("SetFVF %u", unsigned(fvf)), DeviceFrontEnd::SetFVF(fvf));
  }
  HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override {
    return Logged("SetIndices " + Name(buffer), DeviceFrontEnd::SetIndices(buffer));
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override {
    return Drawn(Format("DrawPrimitive %u %u %u", unsigned(type), startVertex, primitiveCount),
                 DeviceFrontEnd::DrawPrimitive(type, startVertex, primitiveCount));
  }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                               UINT startIndex, UINT primitiveCount) override {
    return Drawn(Format("DrawIndexedPrimitive %u %d %u %u %u %u", unsigned(type), baseVertex, minIndex,
                        vertexCount, startIndex, primitiveCount),
                 DeviceFrontEnd::DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex,
                                                      primitiveCount));
  }

  // -- D3DX seam --
  HRESULT CreateD3DXSprite(ID3DXSprite** sprite) override {
    Log("D3DXCreateSprite");
    if (!sprite) return Answer("D3DXCreateSprite", D3DERR_INVALIDCALL);
    *sprite = nullptr;
    if (m_s->m_failSpriteCreation) return E_OUTOFMEMORY;
    *sprite = new RecordingSprite(this, m_s, [this](const void* t) { return TextureNumber(t); });
    return D3D_OK;
  }
  HRESULT CreateD3DXFont(const D3DXFONT_DESCA& desc, ID3DXFont** font) override {
    Log(Format("D3DXCreateFont %d %u %u ", int(desc.Height), desc.Width, desc.Weight) + desc.FaceName);
    if (!font) return Answer("D3DXCreateFont", D3DERR_INVALIDCALL);
    *font = nullptr;
    if (m_s->m_failFontCreation) return E_OUTOFMEMORY;
    *font = new RecordingFont(this, m_s, desc);
    return D3D_OK;
  }

 protected:
  // -- the back end's part: nothing to draw --
  HRESULT DoReset(const D3DPRESENT_PARAMETERS&) override {
    m_scripted = Pop(m_s->m_resetResults, D3D_OK);
    return m_scripted;
  }
  HRESULT DoPresent() override {
    m_scripted = Pop(m_s->m_presentResults, D3D_OK);
    if (m_scripted == D3DERR_DEVICELOST) MarkLost();
    return m_scripted;
  }
  HRESULT DoClear(DWORD, D3DCOLOR, float, DWORD) override { return D3D_OK; }
  HRESULT DoDrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return D3D_OK; }
  HRESULT DoDrawIndexed(D3DPRIMITIVETYPE, INT, UINT, UINT) override { return D3D_OK; }
  HRESULT MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                           MemoryVertexBuffer** made) override {
    return Named("vb%d", m_vertexBuffers, made, length, usage, fvf, pool);
  }
  HRESULT MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          MemoryIndexBuffer** made) override {
    return Named("ib%d", m_indexBuffers, made, length, usage, format, pool);
  }
  HRESULT MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                      MemoryTexture** made) override {
    const HRESULT hr = Named("tex%d", m_textureCount, made, width, height, levels, usage, format, pool);
    if (SUCCEEDED(hr)) m_textureNumbers[*made] = m_textureCount;
    return hr;
  }

 private:
  void Log(std::string entry) { m_s->m_log.Add(std::move(entry)); }

  HRESULT Answer(const std::string& call, HRESULT hr) { return m_s->Unexpected(call, hr); }
  HRESULT Logged(std::string entry, HRESULT hr) {
    Log(entry);
    return Answer(entry, hr);
  }
  HRESULT Drawn(std::string entry, HRESULT hr) {
    if (FAILED(hr)) entry += " INVALID";
    Log(entry);
    return Answer(entry, hr);
  }

  // A resource numbered from 1 per kind (name "vb1", "tex2"), with the hook.
  // A resource named by the pattern and the next number; a number is taken
  // only by a resource that got its memory.
  template <class T, class... Args>
  HRESULT Named(const char* pattern, int& count, T** made, Args... args) {
    const std::string name = Format(pattern, count + 1);
    *made = new (std::nothrow) T(args..., Hook(name));
    if (!*made) return OutOfMemory();
    if (!(*made)->Made()) {  // its bytes could not be had (counted there)
      (*made)->Release();
      *made = nullptr;
      return E_OUTOFMEMORY;
    }
    ++count;
    m_names[*made] = name;
    return D3D_OK;
  }

  template <class T>
  static HRESULT Fail(T** out, HRESULT hr) {
    if (out) *out = nullptr;
    return hr;
  }

  std::string Name(const void* resource) const {
    if (!resource) return "null";
    const auto it = m_names.find(resource);
    return it == m_names.end() ? "unknown" : it->second;
  }

  int TextureNumber(const void* texture) const {
    const auto it = m_textureNumbers.find(texture);
    return it == m_textureNumbers.end() ? -1 : it->second;
  }

  ResourceHook Hook(const std::string& name) {
    RecordingScript* s = m_s;
    return [s, name](const char* call, UINT a, UINT b, DWORD flags) -> HRESULT {
      if (std::strstr(call, " refused")) {
        s->Unexpected(std::string(call) + " " + name, HRESULT(a));
        return D3D_OK;
      }
      const bool isLock = std::strstr(call, "Unlock") == nullptr;
      if (!isLock) {
        s->m_log.Add(std::string(call) + " " + name);
        return D3D_OK;
      }
      const int number = s->m_lockNumber++;
      const bool fail = s->m_failAllLocks || number == s->m_failLockAt;
      s->m_log.Add(std::string(call) + " " + name + Format(" %u %u %u", a, b, unsigned(flags)) +
                   (fail ? " FAILED" : ""));
      return fail ? D3DERR_INVALIDCALL : D3D_OK;
    };
  }

  IDirect3D9* m_d3d;
  RecordingScript* m_s;
  HRESULT m_scripted = D3D_OK;  // what the script answered to the call under way
  std::map<const void*, std::string> m_names;
  std::map<const void*, int> m_textureNumbers;
  int m_vertexBuffers = 0;
  int m_indexBuffers = 0;
  int m_textureCount = 0;
};

// ---- Direct3D object -------------------------------------------------------------------
namespace {

class RecordingDirect3D : public IDirect3D9 {
 public:
  explicit RecordingDirect3D(RecordingScript* script) : m_s(script) {}

  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override {
    m_s->m_log.Add(Format("GetAdapterIdentifier %u %u", adapter, unsigned(flags)));
    if (adapter != 0 || !identifier) return m_s->Unexpected("GetAdapterIdentifier", D3DERR_INVALIDCALL);
    *identifier = m_s->m_identifier;
    return D3D_OK;
  }
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
    m_s->m_log.Add(Format("GetAdapterDisplayMode %u", adapter));
    if (adapter != 0 || !mode) return m_s->Unexpected("GetAdapterDisplayMode", D3DERR_INVALIDCALL);
    *mode = m_s->m_desktopMode;
    return D3D_OK;
  }
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override {
    m_s->m_log.Add(Format("GetDeviceCaps %u %u", adapter, unsigned(type)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL || !caps)
      return m_s->Unexpected("GetDeviceCaps", D3DERR_INVALIDCALL);
    *caps = m_s->m_caps;
    return D3D_OK;
  }
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override {
    m_s->m_log.Add(Format("CheckDeviceFormat %u %u %u %u %u %u", adapter, unsigned(type),
                          unsigned(adapterFormat), unsigned(usage), unsigned(resourceType),
                          unsigned(checkFormat)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL)
      return m_s->Unexpected("CheckDeviceFormat", D3DERR_INVALIDCALL);
    if (usage & D3DUSAGE_DEPTHSTENCIL)
      return Contains(m_s->m_depthFormats, checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    return D3DFormatBytesPerTexel(checkFormat) == 4 ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                 D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override {
    m_s->m_log.Add(Format("CheckDepthStencilMatch %u %u %u %u %u", adapter, unsigned(type),
                          unsigned(adapterFormat), unsigned(renderTargetFormat),
                          unsigned(depthStencilFormat)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL)
      return m_s->Unexpected("CheckDepthStencilMatch", D3DERR_INVALIDCALL);
    return Contains(m_s->m_depthFormats, depthStencilFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT format, BOOL windowed,
                                     D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) override {
    m_s->m_log.Add(Format("CheckDeviceMultiSampleType %u %u %u %d %u", adapter, unsigned(type),
                          unsigned(format), windowed ? 1 : 0, unsigned(multiSample)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL)
      return m_s->Unexpected("CheckDeviceMultiSampleType", D3DERR_INVALIDCALL);
    const bool ok = Contains(m_s->m_multiSampleTypes, multiSample);
    if (qualityLevels) *qualityLevels = ok ? 1 : 0;
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override {
    if (!params || !device) return m_s->Unexpected("CreateDevice", D3DERR_INVALIDCALL);
    *device = nullptr;
    m_s->m_log.Add(Format("CreateDevice %u ms=%u depth=%u size=%ux%u interval=", unsigned(behaviorFlags),
                          unsigned(params->MultiSampleType), unsigned(params->AutoDepthStencilFormat),
                          params->BackBufferWidth, params->BackBufferHeight) +
                   Hex(params->PresentationInterval));
    if (adapter != 0 || type != D3DDEVTYPE_HAL || !focusWindow || !params->Windowed)
      return m_s->Unexpected("CreateDevice", D3DERR_INVALIDCALL);
    const bool works =
        Contains(m_s->m_multiSampleTypes, params->MultiSampleType) &&
        (!params->EnableAutoDepthStencil || Contains(m_s->m_depthFormats, params->AutoDepthStencilFormat)) &&
        (!m_s->m_deviceAccepts || m_s->m_deviceAccepts(*params));
    if (!works) return D3DERR_NOTAVAILABLE;
    const D3DPRESENT_PARAMETERS filled =
        FillPresentParameters(*params, focusWindow, m_s->m_desktopMode.Format);
    ReturnBackBufferSize(filled, params);
    *device = new RecordingDevice(this, m_s, focusWindow, filled);
    return D3D_OK;
  }

 private:
  RecordingScript* m_s;
};

}  // namespace

// ---- creation ----------------------------------------------------------------------------
IDirect3D9* Direct3DCreate9Recording(RecordingScript* script) {
  if (!script) return nullptr;
  script->m_log.Add("Direct3DCreate9");
  if (script->m_failDirect3DCreate) return nullptr;
  return new RecordingDirect3D(script);
}

namespace {
Direct3DFactory RecordingFactory(RecordingScript* script) {
  return [script] { return Direct3DCreate9Recording(script); };
}
}  // namespace

void UseRecordingDevice(RecordingScript* script) { SetDirect3DFactory(RecordingFactory(script)); }

ScopedRecordingDevice::ScopedRecordingDevice(RecordingScript* script)
    : ScopedDirect3DFactory(RecordingFactory(script)) {}
