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

#include "platform/d3d9/d3d9_resources.h"

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
RecordingScript::RecordingScript() {
  std::strcpy(m_identifier.Driver, "recording");
  std::strcpy(m_identifier.Description, "Recording device");
  m_caps.DeviceType = D3DDEVTYPE_HAL;
  m_caps.MaxTextureWidth = 4096;
  m_caps.MaxTextureHeight = 4096;
  m_caps.MaxActiveLights = D3DMAXLIGHTS;
  m_caps.VertexProcessingCaps = 1;
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

// Indices (or vertices) a draw of primitiveCount primitives reads.
UINT ElementCount(D3DPRIMITIVETYPE type, UINT primitiveCount) {
  switch (type) {
    case D3DPT_POINTLIST: return primitiveCount;
    case D3DPT_LINELIST: return primitiveCount * 2;
    case D3DPT_LINESTRIP: return primitiveCount + 1;
    case D3DPT_TRIANGLELIST: return primitiveCount * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitiveCount + 2;
    default: return 0;
  }
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
    if (m_inBatch) return D3DERR_INVALIDCALL;
    m_inBatch = true;
    m_flags = flags;
    return D3D_OK;
  }
  HRESULT SetTransform(const D3DXMATRIX* transform) override {
    if (!transform) return D3DERR_INVALIDCALL;
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
    if (!m_inBatch) return D3DERR_INVALIDCALL;
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
    if (!m_inBatch) return D3DERR_INVALIDCALL;
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
    m_script->m_log.Add(Format("Font.DrawText %d %d ", int(rect->left), int(rect->top)) +
                        Hex(color) + " " + s);
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
class RecordingDevice : public IDirect3DDevice9 {
 public:
  RecordingDevice(IDirect3D9* d3d, RecordingScript* script, HWND window,
                  const D3DPRESENT_PARAMETERS& params)
      : m_d3d(d3d), m_s(script), m_window(window) {
    m_d3d->AddRef();
    ApplyParams(params);
    for (DWORD i = 0; i < D3DRS_COUNT; ++i)
      m_rs[i] = D3DDefaultRenderState(i, m_params.EnableAutoDepthStencil != 0);
    for (DWORD st = 0; st < D3DTEXTURESTAGES; ++st) {
      for (DWORD i = 0; i < D3DTSS_COUNT; ++i) m_tss[st][i] = D3DDefaultTextureStageState(st, i);
      for (DWORD i = 0; i < D3DSAMP_COUNT; ++i) m_samp[st][i] = D3DDefaultSamplerState(i);
    }
  }

  ~RecordingDevice() override {
    for (auto*& t : m_textures) Rebind(t, static_cast<IDirect3DTexture9*>(nullptr));
    Rebind(m_stream, static_cast<MemoryVertexBuffer*>(nullptr));
    Rebind(m_indices, static_cast<MemoryIndexBuffer*>(nullptr));
    m_d3d->Release();
  }

  // -- lifetime --
  HRESULT TestCooperativeLevel() override {
    const HRESULT hr = Pop(m_s->m_cooperativeResults, m_lost ? D3DERR_DEVICENOTRESET : D3D_OK);
    Log("TestCooperativeLevel " + Hex(DWORD(hr)));
    return hr;
  }
  HRESULT Reset(D3DPRESENT_PARAMETERS* params) override {
    if (!params) return D3DERR_INVALIDCALL;
    Log(Format("Reset %u %u ms=%u depth=%u interval=", params->BackBufferWidth,
               params->BackBufferHeight, unsigned(params->MultiSampleType),
               unsigned(params->AutoDepthStencilFormat)) +
        Hex(params->PresentationInterval));
    const HRESULT hr = Pop(m_s->m_resetResults, D3D_OK);
    if (FAILED(hr)) {
      m_lost = true;
      return hr;
    }
    ApplyParams(*params);
    m_lost = false;
    m_inScene = false;
    return D3D_OK;
  }
  HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                  const void* region) override {
    Log("Present");
    if (source || dest || overrideWindow || region) return D3DERR_INVALIDCALL;
    if (m_lost) return D3DERR_DEVICELOST;
    const HRESULT hr = Pop(m_s->m_presentResults, D3D_OK);
    if (hr == D3DERR_DEVICELOST) m_lost = true;
    return hr;
  }
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                        IDirect3DSurface9** surface) override {
    return MakeBackBufferSurface(m_params, swapChain, index, type, surface);
  }
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override {
    Log(Format("Clear %u %u ", unsigned(count), unsigned(flags)) + Hex(color) +
        Format(" %g %u", double(z), unsigned(stencil)));
    if (count != 0 || rects) return D3DERR_INVALIDCALL;
    return D3D_OK;
  }
  HRESULT BeginScene() override {
    Log("BeginScene");
    if (m_inScene) return D3DERR_INVALIDCALL;
    const HRESULT hr = Pop(m_s->m_beginSceneResults, D3D_OK);
    if (SUCCEEDED(hr)) m_inScene = true;
    return hr;
  }
  HRESULT EndScene() override {
    Log("EndScene");
    if (!m_inScene) return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
  }

  // -- state --
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    Log(Format("SetRenderState %u %u", unsigned(state), unsigned(value)));
    if (state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
    m_rs[state] = value;
    return D3D_OK;
  }
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
    if (state >= D3DRS_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = m_rs[state];
    return D3D_OK;
  }
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override {
    Log(Format("SetSamplerState %u %u %u", unsigned(sampler), unsigned(type), unsigned(value)));
    if (sampler >= D3DTEXTURESTAGES || type >= D3DSAMP_COUNT) return D3DERR_INVALIDCALL;
    m_samp[sampler][type] = value;
    return D3D_OK;
  }
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override {
    if (sampler >= D3DTEXTURESTAGES || type >= D3DSAMP_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = m_samp[sampler][type];
    return D3D_OK;
  }
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
    Log(Format("SetTextureStageState %u %u %u", unsigned(stage), unsigned(type), unsigned(value)));
    if (stage >= D3DTEXTURESTAGES || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
    m_tss[stage][type] = value;
    return D3D_OK;
  }
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
    if (stage >= D3DTEXTURESTAGES || type >= D3DTSS_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = m_tss[stage][type];
    return D3D_OK;
  }
  HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) override {
    Log(Format("SetTexture %u ", unsigned(stage)) + Name(texture));
    if (stage >= D3DTEXTURESTAGES) return D3DERR_INVALIDCALL;
    Rebind(m_textures[stage], texture);
    return D3D_OK;
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
    Log(Format("SetTransform %u", unsigned(state)));
    if (!matrix) return D3DERR_INVALIDCALL;
    m_transforms[state] = *matrix;
    return D3D_OK;
  }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    if (!matrix) return D3DERR_INVALIDCALL;
    const auto it = m_transforms.find(state);
    if (it != m_transforms.end()) *matrix = it->second;
    else D3DXMatrixIdentity(matrix);
    return D3D_OK;
  }
  HRESULT SetMaterial(const D3DMATERIAL9* material) override {
    Log("SetMaterial");
    if (!material) return D3DERR_INVALIDCALL;
    m_material = *material;
    return D3D_OK;
  }
  HRESULT GetMaterial(D3DMATERIAL9* material) override {
    if (!material) return D3DERR_INVALIDCALL;
    *material = m_material;
    return D3D_OK;
  }
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override {
    Log(Format("SetLight %u", unsigned(index)));
    if (index >= D3DMAXLIGHTS || !light) return D3DERR_INVALIDCALL;
    m_lights[index] = *light;
    return D3D_OK;
  }
  HRESULT GetLight(DWORD index, D3DLIGHT9* light) override {
    if (index >= D3DMAXLIGHTS || !light) return D3DERR_INVALIDCALL;
    *light = m_lights[index];
    return D3D_OK;
  }
  HRESULT LightEnable(DWORD index, BOOL enable) override {
    Log(Format("LightEnable %u %d", unsigned(index), enable ? 1 : 0));
    if (index >= D3DMAXLIGHTS) return D3DERR_INVALIDCALL;
    m_lightOn[index] = enable ? 1 : 0;
    return D3D_OK;
  }
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override {
    if (index >= D3DMAXLIGHTS || !enable) return D3DERR_INVALIDCALL;
    *enable = m_lightOn[index];
    return D3D_OK;
  }
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override {
    if (!viewport) return D3DERR_INVALIDCALL;
    Log(Format("SetViewport %u %u %u %u", unsigned(viewport->X), unsigned(viewport->Y),
               unsigned(viewport->Width), unsigned(viewport->Height)));
    m_viewport = *viewport;
    return D3D_OK;
  }
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = m_viewport;
    return D3D_OK;
  }

  // -- resources --
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** buffer, HANDLE* shared) override {
    Log(Format("CreateVertexBuffer %u %u %u %u", length, unsigned(usage), unsigned(fvf),
               unsigned(pool)));
    HRESULT hr = CheckBufferArguments(length, buffer, shared);
    if (SUCCEEDED(hr) && m_s->m_failResourceCreation) hr = D3DERR_OUTOFVIDEOMEMORY;
    if (FAILED(hr)) return Fail(buffer, hr);
    const std::string name = Format("vb%d", ++m_vertexBuffers);
    auto* vb = new MemoryVertexBuffer(length, usage, fvf, pool, Hook(name));
    m_names[vb] = name;
    *buffer = vb;
    return D3D_OK;
  }
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* shared) override {
    Log(Format("CreateIndexBuffer %u %u %u %u", length, unsigned(usage), unsigned(format),
               unsigned(pool)));
    HRESULT hr = CheckBufferArguments(length, buffer, shared);
    if (SUCCEEDED(hr) && format != D3DFMT_INDEX16) hr = D3DERR_INVALIDCALL;
    if (SUCCEEDED(hr) && m_s->m_failResourceCreation) hr = D3DERR_OUTOFVIDEOMEMORY;
    if (FAILED(hr)) return Fail(buffer, hr);
    const std::string name = Format("ib%d", ++m_indexBuffers);
    auto* ib = new MemoryIndexBuffer(length, usage, format, pool, Hook(name));
    m_names[ib] = name;
    *buffer = ib;
    return D3D_OK;
  }
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                        D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) override {
    Log(Format("CreateTexture %u %u %u %u %u %u", width, height, levels, unsigned(usage),
               unsigned(format), unsigned(pool)));
    HRESULT hr = CheckTextureArguments(width, height, levels, format, texture, shared);
    if (SUCCEEDED(hr) && m_s->m_failResourceCreation) hr = D3DERR_OUTOFVIDEOMEMORY;
    if (FAILED(hr)) return Fail(texture, hr);
    const int number = ++m_textureCount;
    const std::string name = Format("tex%d", number);
    auto* tex = new MemoryTexture(width, height, levels, usage, format, pool, Hook(name));
    m_names[tex] = name;
    m_textureNumbers[tex] = number;
    *texture = tex;
    return D3D_OK;
  }

  // -- drawing --
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                          UINT stride) override {
    Log(Format("SetStreamSource %u ", stream) + Name(buffer) + Format(" %u %u", offset, stride));
    if (stream != 0) return D3DERR_INVALIDCALL;
    Rebind(m_stream, static_cast<MemoryVertexBuffer*>(buffer));
    m_streamOffset = offset;
    m_stride = stride;
    return D3D_OK;
  }
  HRESULT SetFVF(DWORD fvf) override {
    Log(Format("SetFVF %u", unsigned(fvf)));
    m_fvf = fvf;
    return D3D_OK;
  }
  HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override {
    Log("SetIndices " + Name(buffer));
    Rebind(m_indices, static_cast<MemoryIndexBuffer*>(buffer));
    return D3D_OK;
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override {
    std::string entry = Format("DrawPrimitive %u %u %u", unsigned(type), startVertex, primitiveCount);
    const UINT count = ElementCount(type, primitiveCount);
    const bool valid = m_inScene && primitiveCount > 0 && count > 0 && StreamReady() &&
                       UINT64(startVertex) + count <= StreamVertices();
    return Draw(entry, valid);
  }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                               UINT vertexCount, UINT startIndex, UINT primitiveCount) override {
    std::string entry = Format("DrawIndexedPrimitive %u %d %u %u %u %u", unsigned(type),
                               baseVertex, minIndex, vertexCount, startIndex, primitiveCount);
    const UINT count = ElementCount(type, primitiveCount);
    bool valid = m_inScene && primitiveCount > 0 && count > 0 && StreamReady() && m_indices &&
                 !m_indices->Store().IsLocked() &&
                 UINT64(startIndex) + count <= m_indices->Store().Length() / 2;
    if (valid) {
      const auto* indices = reinterpret_cast<const WORD*>(m_indices->Store().Data());
      for (UINT i = startIndex; valid && i < startIndex + count; ++i) {
        const INT64 vertex = INT64(baseVertex) + indices[i];
        valid = indices[i] >= minIndex && indices[i] < UINT64(minIndex) + vertexCount &&
                vertex >= 0 && UINT64(vertex) < StreamVertices();
      }
    }
    return Draw(entry, valid);
  }

  // -- D3DX seam --
  HRESULT CreateD3DXSprite(ID3DXSprite** sprite) override {
    Log("D3DXCreateSprite");
    if (!sprite) return D3DERR_INVALIDCALL;
    *sprite = nullptr;
    if (m_s->m_failSpriteCreation) return E_OUTOFMEMORY;
    *sprite = new RecordingSprite(this, m_s, [this](const void* t) { return TextureNumber(t); });
    return D3D_OK;
  }
  HRESULT CreateD3DXFont(const D3DXFONT_DESCA& desc, ID3DXFont** font) override {
    Log(Format("D3DXCreateFont %d %u %u ", int(desc.Height), desc.Width, desc.Weight) +
        desc.FaceName);
    if (!font) return D3DERR_INVALIDCALL;
    *font = nullptr;
    if (m_s->m_failFontCreation) return E_OUTOFMEMORY;
    *font = new RecordingFont(this, m_s, desc);
    return D3D_OK;
  }

 private:
  using INT64 = long long;
  using UINT64 = unsigned long long;

  void Log(std::string entry) { m_s->m_log.Add(std::move(entry)); }

  template <class T>
  static HRESULT Fail(T** out, HRESULT hr) {
    if (out) *out = nullptr;
    return hr;
  }

  template <class Slot, class T>
  static void Rebind(Slot*& slot, T* value) {
    if (value) value->AddRef();
    if (slot) slot->Release();
    slot = value;
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

  bool StreamReady() const {
    return m_stream && m_fvf == VertexPNDT_FVF && m_stride == sizeof(VertexPNDT) &&
           !m_stream->Store().IsLocked();
  }
  UINT StreamVertices() const {
    const UINT length = m_stream->Store().Length();
    return m_streamOffset >= length ? 0 : (length - m_streamOffset) / m_stride;
  }

  HRESULT Draw(std::string entry, bool valid) {
    if (!valid) entry += " INVALID";
    Log(std::move(entry));
    return valid ? D3D_OK : D3DERR_INVALIDCALL;
  }

  void ApplyParams(const D3DPRESENT_PARAMETERS& params) {
    m_params = params;
    RECT client{};
    if ((m_params.BackBufferWidth == 0 || m_params.BackBufferHeight == 0) && m_window &&
        m_window->GetClientRect(&client)) {
      if (m_params.BackBufferWidth == 0) m_params.BackBufferWidth = UINT(RectWidth(client));
      if (m_params.BackBufferHeight == 0) m_params.BackBufferHeight = UINT(RectHeight(client));
    }
    if (m_params.BackBufferFormat == D3DFMT_UNKNOWN)
      m_params.BackBufferFormat = m_s->m_desktopMode.Format;
    m_viewport = D3DVIEWPORT9{0, 0, m_params.BackBufferWidth, m_params.BackBufferHeight, 0, 1};
  }

  IDirect3D9* m_d3d;
  RecordingScript* m_s;
  HWND m_window;
  D3DPRESENT_PARAMETERS m_params;
  bool m_lost = false;
  bool m_inScene = false;
  DWORD m_rs[D3DRS_COUNT];
  DWORD m_tss[D3DTEXTURESTAGES][D3DTSS_COUNT];
  DWORD m_samp[D3DTEXTURESTAGES][D3DSAMP_COUNT];
  std::map<DWORD, D3DMATRIX> m_transforms;
  D3DMATERIAL9 m_material;
  D3DLIGHT9 m_lights[D3DMAXLIGHTS];
  BOOL m_lightOn[D3DMAXLIGHTS] = {};
  D3DVIEWPORT9 m_viewport;
  IDirect3DTexture9* m_textures[D3DTEXTURESTAGES] = {};
  MemoryVertexBuffer* m_stream = nullptr;
  UINT m_streamOffset = 0;
  UINT m_stride = 0;
  DWORD m_fvf = 0;
  MemoryIndexBuffer* m_indices = nullptr;
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

  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                               D3DADAPTER_IDENTIFIER9* identifier) override {
    m_s->m_log.Add(Format("GetAdapterIdentifier %u %u", adapter, unsigned(flags)));
    if (adapter != 0 || !identifier) return D3DERR_INVALIDCALL;
    *identifier = m_s->m_identifier;
    return D3D_OK;
  }
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
    m_s->m_log.Add(Format("GetAdapterDisplayMode %u", adapter));
    if (adapter != 0 || !mode) return D3DERR_INVALIDCALL;
    *mode = m_s->m_desktopMode;
    return D3D_OK;
  }
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override {
    m_s->m_log.Add(Format("GetDeviceCaps %u %u", adapter, unsigned(type)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL || !caps) return D3DERR_INVALIDCALL;
    *caps = m_s->m_caps;
    return D3D_OK;
  }
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override {
    m_s->m_log.Add(Format("CheckDeviceFormat %u %u %u %u %u %u", adapter, unsigned(type),
                          unsigned(adapterFormat), unsigned(usage), unsigned(resourceType),
                          unsigned(checkFormat)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
      return Contains(m_s->m_depthFormats, checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    return D3DFormatBytesPerTexel(checkFormat) == 4 ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                 D3DFORMAT renderTargetFormat,
                                 D3DFORMAT depthStencilFormat) override {
    m_s->m_log.Add(Format("CheckDepthStencilMatch %u %u %u %u %u", adapter, unsigned(type),
                          unsigned(adapterFormat), unsigned(renderTargetFormat),
                          unsigned(depthStencilFormat)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    return Contains(m_s->m_depthFormats, depthStencilFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT format,
                                     BOOL windowed, D3DMULTISAMPLE_TYPE multiSample,
                                     DWORD* qualityLevels) override {
    m_s->m_log.Add(Format("CheckDeviceMultiSampleType %u %u %u %d %u", adapter, unsigned(type),
                          unsigned(format), windowed ? 1 : 0, unsigned(multiSample)));
    if (adapter != 0 || type != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    const bool ok = Contains(m_s->m_multiSampleTypes, multiSample);
    if (qualityLevels) *qualityLevels = ok ? 1 : 0;
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override {
    if (!params || !device) return D3DERR_INVALIDCALL;
    *device = nullptr;
    m_s->m_log.Add(Format("CreateDevice %u ms=%u depth=%u size=%ux%u interval=",
                          unsigned(behaviorFlags), unsigned(params->MultiSampleType),
                          unsigned(params->AutoDepthStencilFormat), params->BackBufferWidth,
                          params->BackBufferHeight) +
                   Hex(params->PresentationInterval));
    if (adapter != 0 || type != D3DDEVTYPE_HAL || !focusWindow || !params->Windowed)
      return D3DERR_INVALIDCALL;
    const bool works =
        Contains(m_s->m_multiSampleTypes, params->MultiSampleType) &&
        (!params->EnableAutoDepthStencil ||
         Contains(m_s->m_depthFormats, params->AutoDepthStencilFormat)) &&
        (!m_s->m_deviceAccepts || m_s->m_deviceAccepts(*params));
    if (!works) return D3DERR_NOTAVAILABLE;
    *device = new RecordingDevice(this, m_s, focusWindow, *params);
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

void UseRecordingDevice(RecordingScript* script) {
  SetDirect3DFactory([script] { return Direct3DCreate9Recording(script); });
}
