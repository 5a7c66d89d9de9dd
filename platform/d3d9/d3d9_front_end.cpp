// The device front end of both back ends: recorded state, bindings, scene
// and draw checks.
//
// Sections: state - present parameters - life cycle - frame - state calls -
// resources and streams - drawing - bindings
#include "platform/d3d9/d3d9_front_end.h"

#include <algorithm>
#include <new>

// ---- state -----------------------------------------------------------------------
namespace {

using INT64 = long long;
using UINT64 = unsigned long long;

D3DMATRIX IdentityMatrix() {
  D3DMATRIX m;
  D3DXMatrixIdentity(&m);
  return m;
}

constexpr DWORD kDrawableFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

bool HasStencil(D3DFORMAT format) {
  return format == D3DFMT_D24S8 || format == D3DFMT_D15S1 || format == D3DFMT_D24X4S4;
}

template <class T>
void Rebind(T*& slot, T* value) {
  if (value) value->AddRef();
  if (slot) slot->Release();
  slot = value;
}

}  // namespace

void D3DDeviceState::SetDefaults(bool autoDepthStencil, UINT width, UINT height) {
  for (DWORD s = 0; s < D3DRS_COUNT; ++s) renderStates[s] = D3DDefaultRenderState(s, autoDepthStencil);
  for (DWORD st = 0; st < D3DTEXTURESTAGES; ++st) {
    for (DWORD t = 0; t < D3DTSS_COUNT; ++t) stageStates[st][t] = D3DDefaultTextureStageState(st, t);
    for (DWORD t = 0; t < D3DSAMP_COUNT; ++t) samplerStates[st][t] = D3DDefaultSamplerState(t);
    textureTransforms[st] = IdentityMatrix();
  }
  world = view = projection = IdentityMatrix();
  material = D3DMATERIAL9{};
  for (DWORD i = 0; i < D3DMAXLIGHTS; ++i) {
    lights[i] = D3DLIGHT9{};
    lightSet[i] = false;
    lightEnabled[i] = 0;
  }
  viewport = D3DVIEWPORT9{0, 0, width, height, 0, 1};
  fvf = 0;
}

D3DLIGHT9 D3DDefaultLight() {
  D3DLIGHT9 light;
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 0};
  light.Direction = {0, 0, 1};
  return light;
}

UINT FVFVertexSize(DWORD fvf) {
  if ((fvf & D3DFVF_XYZ) == 0 || (fvf & ~kDrawableFVF) != 0) return 0;
  UINT size = 12;
  if (fvf & D3DFVF_NORMAL) size += 12;
  if (fvf & D3DFVF_DIFFUSE) size += 4;
  if (fvf & D3DFVF_SPECULAR) size += 4;
  if (fvf & D3DFVF_TEX1) size += 8;
  return size;
}

UINT PrimitiveElementCount(D3DPRIMITIVETYPE type, UINT primitiveCount) {
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

// ---- present parameters ------------------------------------------------------------
D3DPRESENT_PARAMETERS FillPresentParameters(const D3DPRESENT_PARAMETERS& params, HWND window,
                                            D3DFORMAT displayFormat) {
  D3DPRESENT_PARAMETERS p = params;
  if (p.hDeviceWindow) window = p.hDeviceWindow;
  RECT client{};
  if ((p.BackBufferWidth == 0 || p.BackBufferHeight == 0) && window && window->GetClientRect(&client)) {
    if (p.BackBufferWidth == 0) p.BackBufferWidth = UINT(std::max<LONG>(RectWidth(client), 0));
    if (p.BackBufferHeight == 0) p.BackBufferHeight = UINT(std::max<LONG>(RectHeight(client), 0));
  }
  p.BackBufferWidth = std::max<UINT>(p.BackBufferWidth, 1);
  p.BackBufferHeight = std::max<UINT>(p.BackBufferHeight, 1);
  if (p.BackBufferFormat == D3DFMT_UNKNOWN) p.BackBufferFormat = displayFormat;
  return p;
}

void ReturnBackBufferSize(const D3DPRESENT_PARAMETERS& filled, D3DPRESENT_PARAMETERS* params) {
  params->BackBufferWidth = filled.BackBufferWidth;
  params->BackBufferHeight = filled.BackBufferHeight;
}

// ---- life cycle ----------------------------------------------------------------------
DeviceFrontEnd::DeviceFrontEnd(HWND window, const D3DPRESENT_PARAMETERS& params, D3DFORMAT displayFormat)
    : m_window(window), m_params(params), m_displayFormat(displayFormat) {
  m_state.SetDefaults(params.EnableAutoDepthStencil != 0, params.BackBufferWidth, params.BackBufferHeight);
}

DeviceFrontEnd::~DeviceFrontEnd() { ReleaseBindings(); }

void DeviceFrontEnd::ReleaseBindings() {
  for (auto*& t : m_textures) Rebind(t, static_cast<MemoryTexture*>(nullptr));
  Rebind(m_stream, static_cast<MemoryVertexBuffer*>(nullptr));
  Rebind(m_indices, static_cast<MemoryIndexBuffer*>(nullptr));
}

HRESULT DeviceFrontEnd::TestCooperativeLevel() { return m_lost ? D3DERR_DEVICENOTRESET : D3D_OK; }

HRESULT DeviceFrontEnd::Reset(D3DPRESENT_PARAMETERS* params) {
  if (!params) return D3DERR_INVALIDCALL;
  const D3DPRESENT_PARAMETERS p = FillPresentParameters(*params, m_window, m_displayFormat);
  const HRESULT hr = DoReset(p);
  if (FAILED(hr)) {
    m_lost = true;
    return hr;
  }
  m_lost = false;
  m_inScene = false;
  m_params = p;
  ReturnBackBufferSize(p, params);
  m_state.viewport = D3DVIEWPORT9{0, 0, p.BackBufferWidth, p.BackBufferHeight, 0, 1};
  OnStateChanged(kStateViewport);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                      IDirect3DSurface9** surface) {
  return MakeBackBufferSurface(m_params, swapChain, index, type, surface);
}

// ---- frame -----------------------------------------------------------------------------
HRESULT DeviceFrontEnd::Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                                const void* dirtyRegion) {
  if (source || dest || overrideWindow || dirtyRegion) return D3DERR_INVALIDCALL;
  if (m_lost) return D3DERR_DEVICELOST;
  return DoPresent();
}

HRESULT DeviceFrontEnd::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                              DWORD stencil) {
  if (count != 0 || rects) return D3DERR_INVALIDCALL;
  if ((flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) return D3DERR_INVALIDCALL;
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_params.EnableAutoDepthStencil)
    return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && !HasStencil(m_params.AutoDepthStencilFormat)) return D3DERR_INVALIDCALL;
  return DoClear(flags, color, z, stencil);
}

HRESULT DeviceFrontEnd::BeginScene() {
  if (m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = true;
  return D3D_OK;
}

HRESULT DeviceFrontEnd::EndScene() {
  if (!m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = false;
  return D3D_OK;
}

// ---- state calls -------------------------------------------------------------------------
HRESULT DeviceFrontEnd::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
  m_state.renderStates[state] = value;
  OnStateChanged(kStateRender);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (state >= D3DRS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = m_state.renderStates[state];
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  if (sampler >= D3DTEXTURESTAGES || type >= D3DSAMP_COUNT) return D3DERR_INVALIDCALL;
  m_state.samplerStates[sampler][type] = value;
  OnStateChanged(kStateSampler);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  if (sampler >= D3DTEXTURESTAGES || type >= D3DSAMP_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = m_state.samplerStates[sampler][type];
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= D3DTEXTURESTAGES || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
  m_state.stageStates[stage][type] = value;
  OnStateChanged(kStateStage);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (stage >= D3DTEXTURESTAGES || type >= D3DTSS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = m_state.stageStates[stage][type];
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetTexture(DWORD stage, IDirect3DTexture9* texture) {
  if (stage >= D3DTEXTURESTAGES) return D3DERR_INVALIDCALL;
  auto* own = dynamic_cast<MemoryTexture*>(texture);
  if (texture && (!own || !OwnsResource(texture))) return D3DERR_INVALIDCALL;
  BindTexture(stage, own);
  return D3D_OK;
}

namespace {
// The slot of a transform type; null for types the devices do not know.
D3DMATRIX* TransformSlot(D3DDeviceState& s, D3DTRANSFORMSTATETYPE state) {
  if (state == D3DTS_WORLD) return &s.world;
  if (state == D3DTS_VIEW) return &s.view;
  if (state == D3DTS_PROJECTION) return &s.projection;
  if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + D3DTEXTURESTAGES)
    return &s.textureTransforms[state - D3DTS_TEXTURE0];
  return nullptr;
}
}  // namespace

HRESULT DeviceFrontEnd::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  D3DMATRIX* slot = TransformSlot(m_state, state);
  if (!slot || !matrix) return D3DERR_INVALIDCALL;
  *slot = *matrix;
  OnStateChanged(kStateTransform);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  const D3DMATRIX* slot = TransformSlot(m_state, state);
  if (!slot || !matrix) return D3DERR_INVALIDCALL;
  *matrix = *slot;
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetMaterial(const D3DMATERIAL9* material) {
  if (!material) return D3DERR_INVALIDCALL;
  m_state.material = *material;
  OnStateChanged(kStateMaterial);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetMaterial(D3DMATERIAL9* material) {
  if (!material) return D3DERR_INVALIDCALL;
  *material = m_state.material;
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetLight(DWORD index, const D3DLIGHT9* light) {
  if (index >= D3DMAXLIGHTS || !light) return D3DERR_INVALIDCALL;
  if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
  m_state.lights[index] = *light;
  m_state.lightSet[index] = true;
  OnStateChanged(kStateLights);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetLight(DWORD index, D3DLIGHT9* light) {
  if (index >= D3DMAXLIGHTS || !light || !m_state.lightSet[index]) return D3DERR_INVALIDCALL;
  *light = m_state.lights[index];
  return D3D_OK;
}

HRESULT DeviceFrontEnd::LightEnable(DWORD index, BOOL enable) {
  if (index >= D3DMAXLIGHTS) return D3DERR_INVALIDCALL;
  if (!m_state.lightSet[index]) {
    m_state.lights[index] = D3DDefaultLight();
    m_state.lightSet[index] = true;
  }
  m_state.lightEnabled[index] = enable ? 1 : 0;
  OnStateChanged(kStateLights);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetLightEnable(DWORD index, BOOL* enable) {
  if (index >= D3DMAXLIGHTS || !enable || !m_state.lightSet[index]) return D3DERR_INVALIDCALL;
  *enable = m_state.lightEnabled[index];
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetViewport(const D3DVIEWPORT9* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  const D3DVIEWPORT9& v = *viewport;
  if (UINT64(v.X) + v.Width > m_params.BackBufferWidth ||
      UINT64(v.Y) + v.Height > m_params.BackBufferHeight || !(v.MinZ >= 0.0f) || !(v.MaxZ <= 1.0f) ||
      v.MinZ > v.MaxZ)
    return D3DERR_INVALIDCALL;
  m_state.viewport = v;
  OnStateChanged(kStateViewport);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::GetViewport(D3DVIEWPORT9* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  *viewport = m_state.viewport;
  return D3D_OK;
}

// ---- resources and streams ---------------------------------------------------------------
namespace {
// Runs a back end's Make...: what it throws for lack of memory becomes
// E_OUTOFMEMORY, and every failure leaves *out null.
template <class Made, class Out, class Make>
HRESULT MakeResource(Out** out, Make make) {
  Made* made = nullptr;
  HRESULT hr;
  try {
    hr = make(&made);
  } catch (const std::bad_alloc&) {
    hr = OutOfMemory();
  }
  if (FAILED(hr) && made) made->Release();
  *out = SUCCEEDED(hr) ? made : nullptr;
  return hr;
}
}  // namespace

HRESULT DeviceFrontEnd::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                           IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
  const HRESULT hr = CheckBufferArguments(length, buffer, shared);
  if (FAILED(hr)) {
    if (buffer) *buffer = nullptr;
    return hr;
  }
  return MakeResource<MemoryVertexBuffer>(
      buffer, [&](MemoryVertexBuffer** made) { return MakeVertexBuffer(length, usage, fvf, pool, made); });
}

HRESULT DeviceFrontEnd::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
  HRESULT hr = CheckBufferArguments(length, buffer, shared);
  if (SUCCEEDED(hr) && format != D3DFMT_INDEX16) hr = D3DERR_INVALIDCALL;
  if (FAILED(hr)) {
    if (buffer) *buffer = nullptr;
    return hr;
  }
  return MakeResource<MemoryIndexBuffer>(
      buffer, [&](MemoryIndexBuffer** made) { return MakeIndexBuffer(length, usage, format, pool, made); });
}

HRESULT DeviceFrontEnd::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                      D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
  const HRESULT hr = CheckTextureArguments(width, height, levels, format, texture, shared);
  if (FAILED(hr)) {
    if (texture) *texture = nullptr;
    return hr;
  }
  return MakeResource<MemoryTexture>(texture, [&](MemoryTexture** made) {
    return MakeTexture(width, height, levels, usage, format, pool, made);
  });
}

HRESULT DeviceFrontEnd::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                        UINT stride) {
  auto* own = dynamic_cast<MemoryVertexBuffer*>(buffer);
  if (stream != 0 || (buffer && (!own || !OwnsResource(buffer)))) return D3DERR_INVALIDCALL;
  Rebind(m_stream, own);
  m_streamOffset = offset;
  m_stride = stride;
  OnStateChanged(kStateStream);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetFVF(DWORD fvf) {
  m_state.fvf = fvf;
  OnStateChanged(kStateFVF);
  return D3D_OK;
}

HRESULT DeviceFrontEnd::SetIndices(IDirect3DIndexBuffer9* buffer) {
  auto* own = dynamic_cast<MemoryIndexBuffer*>(buffer);
  if (buffer && (!own || !OwnsResource(buffer))) return D3DERR_INVALIDCALL;
  Rebind(m_indices, own);
  OnStateChanged(kStateIndices);
  return D3D_OK;
}

// ---- drawing ---------------------------------------------------------------------------------
UINT DeviceFrontEnd::StreamVertices() const {
  const UINT length = m_stream->Store().Length();
  return m_streamOffset >= length ? 0 : (length - m_streamOffset) / m_stride;
}

HRESULT DeviceFrontEnd::CheckStream() const {
  if (!m_inScene || !m_stream || m_stream->Store().IsLocked()) return D3DERR_INVALIDCALL;
  const UINT vertexSize = FVFVertexSize(m_state.fvf);
  if (vertexSize == 0 || m_stride < vertexSize) return D3DERR_INVALIDCALL;
  return D3D_OK;
}

HRESULT DeviceFrontEnd::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  const UINT count = PrimitiveElementCount(type, primitiveCount);
  if (primitiveCount == 0 || count == 0 || FAILED(CheckStream()) ||
      UINT64(startVertex) + count > StreamVertices())
    return D3DERR_INVALIDCALL;
  return DoDrawPrimitive(type, startVertex, count);
}

HRESULT DeviceFrontEnd::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                             UINT vertexCount, UINT startIndex, UINT primitiveCount) {
  const UINT count = PrimitiveElementCount(type, primitiveCount);
  if (primitiveCount == 0 || count == 0 || vertexCount == 0 || FAILED(CheckStream()) || !m_indices ||
      m_indices->Store().IsLocked() || UINT64(startIndex) + count > m_indices->IndexCount())
    return D3DERR_INVALIDCALL;
  // The stated vertex range lies in the stream, and every index in it.
  const INT64 first = INT64(baseVertex) + minIndex;
  if (first < 0 || first + vertexCount > INT64(StreamVertices())) return D3DERR_INVALIDCALL;
  WORD lowest = 0, highest = 0;
  const HRESULT known = m_indices->IndexRange(startIndex, count, &lowest, &highest);
  if (FAILED(known)) return known;
  if (lowest < minIndex || UINT64(highest) >= UINT64(minIndex) + vertexCount) return D3DERR_INVALIDCALL;
  return DoDrawIndexed(type, baseVertex, startIndex, count);
}

// ---- bindings ---------------------------------------------------------------------------------
void DeviceFrontEnd::BindTexture(DWORD stage, MemoryTexture* texture) {
  if (m_textures[stage] == texture) return;
  Rebind(m_textures[stage], texture);
  OnStateChanged(kStateTexture);
}
