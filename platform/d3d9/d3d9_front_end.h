#pragma once
// The device front end both back ends share: the recorded fixed-function
// state with Direct3D 9's defaults and range checks, the bound textures and
// streams, the scene and draw-range checks, the lost-device answers and the
// client-size fill of the present parameters. A back end derives from
// DeviceFrontEnd and only does its own part: the recording device logs each
// call, the GL device marks its GL state dirty (OnStateChanged) and draws.
//
// Answers taken from Direct3D 9 where the two back ends used to disagree:
//  - 32-bit indices: the devices report MaxVertexIndex 0xFFFF, and
//    CreateIndexBuffer with D3DFMT_INDEX32 is D3DERR_INVALIDCALL, as on a
//    Direct3D 9 device without 32-bit index support. Every mesh is 16-bit.
//  - A draw outside BeginScene/EndScene is D3DERR_INVALIDCALL.
//  - Draws use the FVF set with SetFVF (not the one a buffer was made with):
//    any FVF of D3DFVF_XYZ plus NORMAL, DIFFUSE, SPECULAR, TEX1 draws when
//    the stream stride holds at least its vertex; other FVFs, or a stride
//    too small, make the draw D3DERR_INVALIDCALL.
//  - SetViewport with a rectangle reaching past the back buffer, or with
//    MinZ/MaxZ outside 0..1, is D3DERR_INVALIDCALL.
//  - GetLight and GetLightEnable of a light never set are
//    D3DERR_INVALIDCALL; LightEnable of such a light first sets it to the
//    default light (directional, white diffuse, along +z).
//  - A negative base vertex is accepted when every index plus the base lands
//    in the stream; the draw checks the index values themselves.
// Further, as Direct3D 9 does: Clear with D3DCLEAR_ZBUFFER or
// D3DCLEAR_STENCIL on a device without that buffer is D3DERR_INVALIDCALL;
// SetLight with an unknown light type is D3DERR_INVALIDCALL; CreateDevice
// and Reset write the filled-in back buffer size back. Where this device differs
// from Direct3D 9 on purpose: state survives Reset (the interface says so),
// a zero client size becomes a 1 x 1 back buffer, and only transforms VIEW,
// PROJECTION, WORLD and TEXTURE0..7 are known.
//
// Sections: state - present parameters - the front end
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9_resources.h"

// ---- state ---------------------------------------------------------------------
// Which group of recorded state a call changed; a back end that mirrors the
// state elsewhere (GL) refreshes those groups before its next draw.
enum DeviceStateGroup : unsigned {
  kStateRender = 1u << 0,     // SetRenderState
  kStateStage = 1u << 1,      // SetTextureStageState
  kStateSampler = 1u << 2,    // SetSamplerState
  kStateTransform = 1u << 3,  // SetTransform
  kStateMaterial = 1u << 4,   // SetMaterial
  kStateLights = 1u << 5,     // SetLight, LightEnable
  kStateViewport = 1u << 6,   // SetViewport, Reset
  kStateFVF = 1u << 7,        // SetFVF
  kStateStream = 1u << 8,     // SetStreamSource
  kStateIndices = 1u << 9,    // SetIndices
  kStateTexture = 1u << 10,   // SetTexture
  kStateAll = (1u << 11) - 1
};

// The recorded fixed-function state: plain values, copied whole when a back
// end saves and restores it.
struct D3DDeviceState {
  DWORD renderStates[D3DRS_COUNT] = {};
  DWORD stageStates[D3DTEXTURESTAGES][D3DTSS_COUNT] = {};
  DWORD samplerStates[D3DTEXTURESTAGES][D3DSAMP_COUNT] = {};
  D3DMATRIX world, view, projection;
  D3DMATRIX textureTransforms[D3DTEXTURESTAGES];
  D3DMATERIAL9 material;
  D3DLIGHT9 lights[D3DMAXLIGHTS];
  bool lightSet[D3DMAXLIGHTS] = {};
  BOOL lightEnabled[D3DMAXLIGHTS] = {};
  D3DVIEWPORT9 viewport;
  DWORD fvf = 0;

  // Direct3D 9's initial state for a back buffer of width x height.
  void SetDefaults(bool autoDepthStencil, UINT width, UINT height);
};

// The light LightEnable makes of a light that was never set.
D3DLIGHT9 D3DDefaultLight();
// Bytes of one vertex of a drawable FVF (D3DFVF_XYZ with any of NORMAL,
// DIFFUSE, SPECULAR, TEX1); 0 for an FVF the devices cannot draw.
UINT FVFVertexSize(DWORD fvf);
// Indices (or vertices) a draw of primitiveCount primitives reads; 0 for an
// unknown type.
UINT PrimitiveElementCount(D3DPRIMITIVETYPE type, UINT primitiveCount);

// ---- present parameters ---------------------------------------------------------
// What CreateDevice and Reset make of the caller's parameters: a zero back
// buffer width or height takes the client size (at least 1) of
// hDeviceWindow, or of window when that is null; a D3DFMT_UNKNOWN format
// takes the display's.
D3DPRESENT_PARAMETERS FillPresentParameters(const D3DPRESENT_PARAMETERS& params, HWND window,
                                            D3DFORMAT displayFormat);
// Hands the filled-in back buffer size back to the caller's parameters (the
// format stays as the caller gave it: D3DFMT_UNKNOWN keeps following the
// display).
void ReturnBackBufferSize(const D3DPRESENT_PARAMETERS& filled, D3DPRESENT_PARAMETERS* params);

// ---- the front end ----------------------------------------------------------------
class DeviceFrontEnd : public IDirect3DDevice9 {
 public:
  ~DeviceFrontEnd() override;

  // D3DERR_DEVICENOTRESET after a failed reset (or once a back end called
  // MarkLost), else D3D_OK.
  HRESULT TestCooperativeLevel() override;
  // Fills the parameters, asks DoReset; on success the back buffer size is
  // handed back, the viewport is the whole back buffer and no scene is open.
  // On failure the device waits for another reset.
  HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
  // D3DERR_DEVICELOST while the device waits for a reset, else DoPresent's.
  HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                  const void* dirtyRegion) override;
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                        IDirect3DSurface9** surface) override;
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;

  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT SetMaterial(const D3DMATERIAL9* material) override;
  HRESULT GetMaterial(D3DMATERIAL9* material) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
  HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override;

  // Argument checks, then MakeVertexBuffer / MakeIndexBuffer / MakeTexture;
  // E_OUTOFMEMORY or D3DERR_OUTOFVIDEOMEMORY when memory ran out (nothing
  // is thrown).
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** buffer, HANDLE* shared) override;
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* shared) override;

  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;
  // The scene and range checks, then DoDrawPrimitive / DoDrawIndexed.
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                               UINT startIndex, UINT primitiveCount) override;

  const D3DPRESENT_PARAMETERS& Params() const { return m_params; }
  bool InScene() const { return m_inScene; }

 protected:
  // params as CreateDevice filled them (FillPresentParameters).
  DeviceFrontEnd(HWND window, const D3DPRESENT_PARAMETERS& params, D3DFORMAT displayFormat);

  // ---- what a back end does
  // The groups of state a call changed (DeviceStateGroup bits).
  virtual void OnStateChanged(unsigned groups) { (void)groups; }
  // The new back buffer; a failure leaves the old parameters in place.
  virtual HRESULT DoReset(const D3DPRESENT_PARAMETERS& params) = 0;
  virtual HRESULT DoPresent() = 0;
  virtual HRESULT DoClear(DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
  // Vertices startVertex.. of the stream, vertexCount of them.
  virtual HRESULT DoDrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT vertexCount) = 0;
  // indexCount indices from startIndex, each plus baseVertex.
  virtual HRESULT DoDrawIndexed(D3DPRIMITIVETYPE type, INT baseVertex, UINT startIndex, UINT indexCount) = 0;
  // A resource of checked arguments into *made (null on failure): D3D_OK,
  // E_OUTOFMEMORY when its bytes cannot be had, or the back end's own
  // answer (D3DERR_OUTOFVIDEOMEMORY when its storage cannot be had). They
  // throw nothing for lack of memory; what they throw is answered as
  // E_OUTOFMEMORY all the same.
  virtual HRESULT MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   MemoryVertexBuffer** made) = 0;
  virtual HRESULT MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  MemoryIndexBuffer** made) = 0;
  virtual HRESULT MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, MemoryTexture** made) = 0;
  // Whether a resource was made by this back end (binding another's is
  // D3DERR_INVALIDCALL).
  virtual bool OwnsResource(IUnknown* resource) const { return resource != nullptr; }

  // ---- for the back ends
  D3DDeviceState& State() { return m_state; }
  const D3DDeviceState& State() const { return m_state; }
  HWND Window() const { return m_window; }
  // Makes the device lost: Present answers D3DERR_DEVICELOST and
  // TestCooperativeLevel D3DERR_DEVICENOTRESET until a reset works.
  void MarkLost() { m_lost = true; }
  bool IsLost() const { return m_lost; }
  MemoryTexture* BoundTexture(DWORD stage) const { return m_textures[stage]; }
  // Replaces a stage's texture without the checks (a back end's own draws).
  void BindTexture(DWORD stage, MemoryTexture* texture);
  MemoryVertexBuffer* Stream() const { return m_stream; }
  UINT StreamOffset() const { return m_streamOffset; }
  UINT StreamStride() const { return m_stride; }
  MemoryIndexBuffer* Indices() const { return m_indices; }
  // Releases every binding (a back end's destructor, before its context goes).
  void ReleaseBindings();

 private:
  UINT StreamVertices() const;
  HRESULT CheckStream() const;

  HWND m_window;
  D3DPRESENT_PARAMETERS m_params;
  D3DFORMAT m_displayFormat;
  D3DDeviceState m_state;
  bool m_inScene = false;
  bool m_lost = false;
  MemoryTexture* m_textures[D3DTEXTURESTAGES] = {};
  MemoryVertexBuffer* m_stream = nullptr;
  UINT m_streamOffset = 0;
  UINT m_stride = 0;
  MemoryIndexBuffer* m_indices = nullptr;
};
