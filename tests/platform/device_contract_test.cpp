// The device interface's contract, run on both back ends: the recording
// device (suite DeviceContract/Recording) and the GL device on an offscreen
// window (DeviceContract/GL_X11). Both must answer every call the same way,
// as Direct3D 9 does: initial state, round trips and range checks, lights
// never set, viewports, 16-bit indices, scenes, draw ranges and vertex
// formats, locks, clears, reset and the lost device, and a lack of memory
// at each allocation and upload.
//
// Sections: back ends - fixture - state - drawing - locks and clears -
// reset and lost device - lack of memory
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/d3d9/d3d9_resources.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host.h"
#include "platform/d3d9/recording/recording_device.h"

namespace {

// ---- back ends --------------------------------------------------------------------------
constexpr int kWidth = 64, kHeight = 48;

struct RecordingBackEnd {
  IDirect3D9* Open() { return Direct3DCreate9Recording(&script); }
  HostWindow* Window() { return &window; }
  void SetClientSize(int w, int h) { window.SetClientSize(w, h); }
  // Parameters the next Reset fails with.
  D3DPRESENT_PARAMETERS FailingReset(D3DPRESENT_PARAMETERS p) {
    script.m_resetResults = {D3DERR_NOTAVAILABLE};
    return p;
  }
  // Whether the back end draws pixels, and the back buffer's centre then.
  static constexpr bool kDraws = false;
  D3DCOLOR Centre(IDirect3DDevice9*) { return 0; }
  RecordingScript script;
  RecordingWindow window{kWidth, kHeight};
};

struct GLBackEnd {
  IDirect3D9* Open() { return Direct3DCreate9GL(); }
  HostWindow* Window() { return &window; }
  void SetClientSize(int w, int h) { window.SetClientSize(w, h); }
  D3DPRESENT_PARAMETERS FailingReset(D3DPRESENT_PARAMETERS p) {
    p.BackBufferWidth = p.BackBufferHeight = 1u << 20;  // beyond any GL limit
    return p;
  }
  static constexpr bool kDraws = true;
  D3DCOLOR Centre(IDirect3DDevice9* device) {
    QImage shown;
    if (!GLReadBackBuffer(device, &shown)) return 1;  // matches no colour
    return shown.pixel(kWidth / 2, kHeight / 2);
  }
  GLOffscreenWindow window{kWidth, kHeight};
};

struct BackEndNames {
  template <class T>
  static std::string GetName(int) {
    return std::is_same_v<T, GLBackEnd> ? "GL_X11" : "Recording";
  }
};

// ---- fixture ------------------------------------------------------------------------------
template <class BackEnd>
class DeviceContract : public ::testing::Test {
 protected:
  void SetUp() override {
    m_d3d = m_backEnd.Open();
    if (!m_d3d) GTEST_SKIP() << "no OpenGL 3.3 context";
    D3DPRESENT_PARAMETERS p = Params();
    ASSERT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_backEnd.Window(), 0, &p, &m_device), D3D_OK);
    EXPECT_EQ(p.BackBufferWidth, UINT(kWidth));  // the client size, handed back
    EXPECT_EQ(p.BackBufferHeight, UINT(kHeight));
  }
  void TearDown() override {
    if (m_vb) m_vb->Release();
    if (m_ib) m_ib->Release();
    if (m_device) m_device->Release();
    if (m_d3d) m_d3d->Release();
  }
  // Windowed, D24S8, no vertical blank, the window's client size.
  D3DPRESENT_PARAMETERS Params() const {
    D3DPRESENT_PARAMETERS p;
    p.Windowed = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.EnableAutoDepthStencil = 1;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
  }
  // A vertex buffer of n VertexPNDT and an index buffer of the indices, both
  // bound with the FVF.
  void Bind(UINT vertices, const std::vector<WORD>& indices) {
    ASSERT_EQ(m_device->CreateVertexBuffer(vertices * sizeof(VertexPNDT), 0, VertexPNDT_FVF, D3DPOOL_MANAGED,
                                           &m_vb, nullptr),
              D3D_OK);
    ASSERT_EQ(m_device->CreateIndexBuffer(UINT(indices.size() * 2), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ib,
                                          nullptr),
              D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(m_ib->Lock(0, 0, &data, 0), D3D_OK);
    std::copy(indices.begin(), indices.end(), static_cast<WORD*>(data));
    ASSERT_EQ(m_ib->Unlock(), D3D_OK);
    ASSERT_EQ(m_device->SetStreamSource(0, m_vb, 0, sizeof(VertexPNDT)), D3D_OK);
    ASSERT_EQ(m_device->SetFVF(VertexPNDT_FVF), D3D_OK);
    ASSERT_EQ(m_device->SetIndices(m_ib), D3D_OK);
  }
  D3DVIEWPORT9 Viewport() const {
    D3DVIEWPORT9 v;
    m_device->GetViewport(&v);
    return v;
  }
  DWORD RenderState(D3DRENDERSTATETYPE state) const {
    DWORD value = 0xDEADBEEF;
    m_device->GetRenderState(state, &value);
    return value;
  }

  BackEnd m_backEnd;
  IDirect3D9* m_d3d = nullptr;
  IDirect3DDevice9* m_device = nullptr;
  IDirect3DVertexBuffer9* m_vb = nullptr;
  IDirect3DIndexBuffer9* m_ib = nullptr;
};

using BackEnds = ::testing::Types<RecordingBackEnd, GLBackEnd>;
TYPED_TEST_SUITE(DeviceContract, BackEnds, BackEndNames);

// ---- state ----------------------------------------------------------------------------------
TYPED_TEST(DeviceContract, StartsWithDirect3DDefaults) {
  IDirect3DDevice9* d = this->m_device;
  const std::pair<D3DRENDERSTATETYPE, DWORD> renderStates[] = {
      {D3DRS_ZENABLE, D3DZB_TRUE},  // the device has a depth buffer
      {D3DRS_ZWRITEENABLE, 1},       {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},    {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_LIGHTING, 1},           {D3DRS_SRCBLEND, D3DBLEND_ONE},     {D3DRS_DESTBLEND, D3DBLEND_ZERO},
      {D3DRS_ALPHABLENDENABLE, 0},   {D3DRS_FOGEND, FloatToDWORD(1.0f)}, {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
      {D3DRS_COLORWRITEENABLE, 0xF},
  };
  for (const auto& [state, value] : renderStates)
    EXPECT_EQ(this->RenderState(state), value) << "render state " << state;
  DWORD value = 0;
  for (DWORD stage : {0u, 1u}) {
    ASSERT_EQ(d->GetTextureStageState(stage, D3DTSS_COLOROP, &value), D3D_OK);
    EXPECT_EQ(value, stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE);
    ASSERT_EQ(d->GetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, &value), D3D_OK);
    EXPECT_EQ(value, stage);
  }
  ASSERT_EQ(d->GetSamplerState(7, D3DSAMP_MINFILTER, &value), D3D_OK);
  EXPECT_EQ(value, D3DTEXF_POINT);
  D3DMATRIX matrix, identity;
  D3DXMatrixIdentity(&identity);
  for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0}) {
    ASSERT_EQ(d->GetTransform(t, &matrix), D3D_OK);
    EXPECT_EQ(matrix, identity) << t;
  }
  D3DMATERIAL9 material;
  material.Power = 5;
  ASSERT_EQ(d->GetMaterial(&material), D3D_OK);
  EXPECT_EQ(material, D3DMATERIAL9{});
  EXPECT_EQ(this->Viewport(), (D3DVIEWPORT9{0, 0, kWidth, kHeight, 0, 1}));
}

TYPED_TEST(DeviceContract, SetValuesReadBackAndOutOfRangeCallsChangeNothing) {
  IDirect3DDevice9* d = this->m_device;
  EXPECT_EQ(d->SetRenderState(D3DRS_AMBIENT, 0xFF102030), D3D_OK);
  EXPECT_EQ(this->RenderState(D3DRS_AMBIENT), 0xFF102030u);
  EXPECT_EQ(d->SetSamplerState(3, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP), D3D_OK);
  EXPECT_EQ(d->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_ADD), D3D_OK);
  DWORD value = 0;
  d->GetSamplerState(3, D3DSAMP_ADDRESSU, &value);
  EXPECT_EQ(value, D3DTADDRESS_CLAMP);
  d->GetTextureStageState(2, D3DTSS_COLOROP, &value);
  EXPECT_EQ(value, D3DTOP_ADD);
  D3DXMATRIX moved, back;
  D3DXMatrixTranslation(&moved, 1, 2, 3);
  for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0 + 7}) {
    EXPECT_EQ(d->SetTransform(t, &moved), D3D_OK) << t;
    d->GetTransform(t, &back);
    EXPECT_EQ(back, moved) << t;
  }
  D3DMATERIAL9 material, read;
  material.Diffuse = {0.5f, 0.25f, 1, 1};
  material.Power = 12;
  EXPECT_EQ(d->SetMaterial(&material), D3D_OK);
  d->GetMaterial(&read);
  EXPECT_EQ(read, material);

  // Outside the ranges, or without the value: refused.
  D3DLIGHT9 directional;
  directional.Type = D3DLIGHT_DIRECTIONAL;
  const HRESULT refused[] = {
      d->SetRenderState(D3DRS_COUNT, 1),
      d->GetRenderState(D3DRS_LIGHTING, nullptr),
      d->SetSamplerState(D3DTEXTURESTAGES, D3DSAMP_ADDRESSU, 1),
      d->SetSamplerState(0, D3DSAMP_COUNT, 1),
      d->SetTextureStageState(D3DTEXTURESTAGES, D3DTSS_COLOROP, 1),
      d->SetTextureStageState(0, D3DTSS_COUNT, 1),
      d->SetTexture(D3DTEXTURESTAGES, nullptr),
      d->SetTransform(5, &moved),  // no such transform
      d->SetTransform(D3DTS_WORLD, nullptr),
      d->SetMaterial(nullptr),
      d->SetLight(D3DMAXLIGHTS, &directional),
      d->LightEnable(D3DMAXLIGHTS, 1),
      d->SetStreamSource(1, nullptr, 0, 0),
  };
  for (size_t i = 0; i < std::size(refused); ++i) EXPECT_EQ(refused[i], D3DERR_INVALIDCALL) << "call " << i;
  EXPECT_EQ(this->RenderState(D3DRS_AMBIENT), 0xFF102030u);
}

TYPED_TEST(DeviceContract, ALightNeverSetIsUnknownUntilEnabled) {
  IDirect3DDevice9* d = this->m_device;
  D3DLIGHT9 light;
  BOOL on = 1;
  EXPECT_EQ(d->GetLight(2, &light), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->GetLightEnable(2, &on), D3DERR_INVALIDCALL);
  D3DLIGHT9 typeless;  // Type 0 is no light type
  EXPECT_EQ(d->SetLight(2, &typeless), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->GetLight(2, &light), D3DERR_INVALIDCALL);
  // Enabling it makes it the default light: white, directional, along +z.
  ASSERT_EQ(d->LightEnable(2, 1), D3D_OK);
  ASSERT_EQ(d->GetLight(2, &light), D3D_OK);
  EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(light.Diffuse, (D3DCOLORVALUE{1, 1, 1, 0}));
  EXPECT_EQ(light.Direction, D3DXVECTOR3(0, 0, 1));
  EXPECT_EQ(light.Specular, D3DCOLORVALUE{});
  ASSERT_EQ(d->GetLightEnable(2, &on), D3D_OK);
  EXPECT_EQ(on, 1);
  // A light set reads back as set, enabled or not.
  D3DLIGHT9 spot;
  spot.Type = D3DLIGHT_SPOT;
  spot.Range = 7;
  ASSERT_EQ(d->SetLight(5, &spot), D3D_OK);
  ASSERT_EQ(d->GetLight(5, &light), D3D_OK);
  EXPECT_EQ(light, spot);
  ASSERT_EQ(d->GetLightEnable(5, &on), D3D_OK);
  EXPECT_EQ(on, 0);
}

TYPED_TEST(DeviceContract, ViewportsLieInsideTheBackBuffer) {
  const struct {
    D3DVIEWPORT9 viewport;
    bool valid;
  } cases[] = {
      {{0, 0, kWidth, kHeight, 0, 1}, true},
      {{16, 8, kWidth - 16, kHeight - 8, 0.25f, 0.75f}, true},
      {{0, 0, kWidth + 1, kHeight, 0, 1}, false},
      {{1, 0, kWidth, kHeight, 0, 1}, false},
      {{0, 4, kWidth, kHeight - 3, 0, 1}, false},
      {{0, 0, kWidth, kHeight, 0.5f, 0.25f}, false},  // MinZ above MaxZ
      {{0, 0, kWidth, kHeight, 0, 1.5f}, false},
  };
  for (const auto& c : cases) {
    const D3DVIEWPORT9 before = this->Viewport();
    const HRESULT hr = this->m_device->SetViewport(&c.viewport);
    EXPECT_EQ(hr == D3D_OK, c.valid) << c.viewport.X << " " << c.viewport.Width;
    EXPECT_EQ(this->Viewport(), c.valid ? c.viewport : before);
  }
  EXPECT_EQ(this->m_device->SetViewport(nullptr), D3DERR_INVALIDCALL);
}

TYPED_TEST(DeviceContract, IndexBuffersAreSixteenBit) {
  D3DCAPS9 caps;
  ASSERT_EQ(this->m_d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_EQ(caps.MaxVertexIndex, 0xFFFFu);
  IDirect3DIndexBuffer9* buffer = reinterpret_cast<IDirect3DIndexBuffer9*>(1);
  EXPECT_EQ(this->m_device->CreateIndexBuffer(64, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &buffer, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(this->m_device->CreateIndexBuffer(0, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer, nullptr),
            D3DERR_INVALIDCALL);
}

// ---- drawing ----------------------------------------------------------------------------------
TYPED_TEST(DeviceContract, DrawsHappenOnlyInsideAScene) {
  IDirect3DDevice9* d = this->m_device;
  this->Bind(4, {0, 1, 2, 2, 1, 3});
  EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->EndScene(), D3DERR_INVALIDCALL);
  ASSERT_EQ(d->BeginScene(), D3D_OK);
  EXPECT_EQ(d->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  ASSERT_EQ(d->EndScene(), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
}

TYPED_TEST(DeviceContract, DrawRangesLieInTheirBuffers) {
  // Eight vertices; the indices name the upper four.
  this->Bind(8, {4, 5, 6, 6, 5, 7});
  const struct {
    INT base;
    UINT minIndex, vertices, start, primitives;
    bool valid;
  } cases[] = {
      {0, 4, 4, 0, 2, true},   {-4, 4, 4, 0, 2, true},  // a negative base landing on vertices 0..3
      {-5, 4, 4, 0, 2, false},                          // index 4 - 5 is before the first vertex
      {1, 4, 4, 0, 2, false},                           // index 7 + 1 is past the eight vertices
      {0, 4, 3, 0, 2, false},                           // index 7 outside the stated range 4..6
      {0, 5, 3, 0, 2, false},                           // index 4 below the stated minimum
      {0, 4, 4, 3, 2, false},                           // past the six indices
      {0, 4, 4, 0, 0, false},                           // nothing to draw
  };
  IDirect3DDevice9* d = this->m_device;
  ASSERT_EQ(d->BeginScene(), D3D_OK);
  for (const auto& c : cases)
    EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, c.base, c.minIndex, c.vertices, c.start,
                                      c.primitives) == D3D_OK,
              c.valid)
        << c.base << " " << c.minIndex << " " << c.vertices << " " << c.start;
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, 5, 1), D3D_OK);  // vertices 5..7
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 6), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 7), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->DrawPrimitive(99, 0, 1), D3DERR_INVALIDCALL);  // no such primitive type
  // Past the buffer through the stream offset.
  ASSERT_EQ(d->SetStreamSource(0, this->m_vb, 4 * sizeof(VertexPNDT), sizeof(VertexPNDT)), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2), D3DERR_INVALIDCALL);
  d->SetIndices(nullptr);
  EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 4, 0, 2), D3DERR_INVALIDCALL);
  d->SetStreamSource(0, nullptr, 0, 0);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  d->EndScene();
}

TYPED_TEST(DeviceContract, DrawsUseTheVertexFormatSetWithSetFVF) {
  this->Bind(8, {0, 1, 2});  // made with VertexPNDT_FVF, 36 bytes a vertex
  const struct {
    DWORD fvf;
    UINT stride;
    bool valid;
  } cases[] = {
      {VertexPNDT_FVF, 36, true},
      {D3DFVF_XYZ | D3DFVF_DIFFUSE, 16, true},      // another format than the buffer's
      {D3DFVF_XYZ | D3DFVF_DIFFUSE, 36, true},      // a stride wider than the vertex
      {VertexPNDT_FVF, 32, false},                  // a stride narrower than the vertex
      {0, 36, false},                               // no format
      {D3DFVF_NORMAL | D3DFVF_DIFFUSE, 36, false},  // no position
      {D3DFVF_XYZ | 0x004, 36, false},              // a bit the devices cannot draw
  };
  IDirect3DDevice9* d = this->m_device;
  ASSERT_EQ(d->BeginScene(), D3D_OK);
  for (const auto& c : cases) {
    ASSERT_EQ(d->SetFVF(c.fvf), D3D_OK);
    ASSERT_EQ(d->SetStreamSource(0, this->m_vb, 0, c.stride), D3D_OK);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1) == D3D_OK, c.valid) << c.fvf << " " << c.stride;
  }
  d->EndScene();
}

// ---- locks and clears ---------------------------------------------------------------------------
TYPED_TEST(DeviceContract, LocksNestStayInRangeAndBlockDraws) {
  this->Bind(4, {0, 1, 2, 2, 1, 3});
  IDirect3DVertexBuffer9* vb = this->m_vb;
  void* data = nullptr;
  EXPECT_EQ(vb->Lock(0, 4 * sizeof(VertexPNDT) + 1, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Lock(4 * sizeof(VertexPNDT) + 1, 0, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
  ASSERT_EQ(vb->Lock(36, 36, &data, 0), D3D_OK);
  ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);  // locks nest
  IDirect3DDevice9* d = this->m_device;
  ASSERT_EQ(d->BeginScene(), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Unlock(), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);  // still locked
  EXPECT_EQ(vb->Unlock(), D3D_OK);
  EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  ASSERT_EQ(this->m_ib->Lock(0, 0, &data, 0), D3D_OK);
  EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  this->m_ib->Unlock();
  d->EndScene();

  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(d->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  D3DLOCKED_RECT locked;
  const RECT outside{0, 0, 9, 8};
  EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(4, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // 4 levels: 0..3
  ASSERT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 16);
  EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // a level locks once
  EXPECT_EQ(texture->UnlockRect(1), D3D_OK);
  EXPECT_EQ(texture->UnlockRect(1), D3DERR_INVALIDCALL);
  texture->Release();
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  EXPECT_EQ(back->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  back->Release();
}

TYPED_TEST(DeviceContract, ClearsNeedTheBuffersTheyClear) {
  IDirect3DDevice9* d = this->m_device;
  const D3DRECT rect{0, 0, 4, 4};
  EXPECT_EQ(d->Clear(1, &rect, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1, 0),
            D3D_OK);  // D24S8 has both
  D3DPRESENT_PARAMETERS p = this->Params();
  p.EnableAutoDepthStencil = 0;
  ASSERT_EQ(d->Reset(&p), D3D_OK);
  EXPECT_EQ(this->RenderState(D3DRS_ZENABLE), DWORD(D3DZB_TRUE));  // state is kept, not re-derived
  EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3D_OK);
  EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1, 0), D3DERR_INVALIDCALL);
}

// ---- reset and lost device ------------------------------------------------------------------------
TYPED_TEST(DeviceContract, ResetResizesAndKeepsTheState) {
  IDirect3DDevice9* d = this->m_device;
  d->SetRenderState(D3DRS_LIGHTING, 0);
  const D3DVIEWPORT9 small{0, 0, 8, 8, 0, 1};
  d->SetViewport(&small);
  EXPECT_EQ(d->Reset(nullptr), D3DERR_INVALIDCALL);
  this->m_backEnd.SetClientSize(40, 30);
  D3DPRESENT_PARAMETERS p = this->Params();  // zero sizes: the client's
  ASSERT_EQ(d->Reset(&p), D3D_OK);
  EXPECT_EQ(p.BackBufferWidth, 40u);
  EXPECT_EQ(p.BackBufferHeight, 30u);
  EXPECT_EQ(p.BackBufferFormat, D3DFMT_UNKNOWN);  // still the display's to choose
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DSURFACE_DESC desc;
  back->GetDesc(&desc);
  back->Release();
  EXPECT_EQ(desc.Width, 40u);
  EXPECT_EQ(desc.Height, 30u);
  EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(this->Viewport(), (D3DVIEWPORT9{0, 0, 40, 30, 0, 1}));
  EXPECT_EQ(this->RenderState(D3DRS_LIGHTING), 0u);
  EXPECT_EQ(d->GetBackBuffer(1, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3DERR_INVALIDCALL);
}

TYPED_TEST(DeviceContract, AFailedResetLeavesTheDeviceLostUntilAResetWorks) {
  IDirect3DDevice9* d = this->m_device;
  EXPECT_EQ(d->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  const RECT part{0, 0, 4, 4};
  EXPECT_EQ(d->Present(&part, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
  d->SetRenderState(D3DRS_FOGENABLE, 1);
  D3DPRESENT_PARAMETERS failing = this->m_backEnd.FailingReset(this->Params());
  EXPECT_TRUE(FAILED(d->Reset(&failing)));
  EXPECT_EQ(d->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(this->RenderState(D3DRS_FOGENABLE), 1u);
  D3DPRESENT_PARAMETERS p = this->Params();
  ASSERT_EQ(d->Reset(&p), D3D_OK);
  EXPECT_EQ(d->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(this->RenderState(D3DRS_FOGENABLE), 1u);
}

// ---- lack of memory -----------------------------------------------------------------------------
// Every allocation a creation makes, failed in turn: the creation answers
// that memory ran out (and says so through OutOfMemory), hands back null and
// throws nothing; the same creation then works.
TYPED_TEST(DeviceContract, EachAllocationOfACreationThatFailsIsAnswered) {
  IDirect3DDevice9* d = this->m_device;
  using Make = std::function<HRESULT(IUnknown**)>;
  const struct {
    const char* kind;
    Make make;
  } kinds[] = {
      {"vertex buffer",
       [d](IUnknown** out) {
         return d->CreateVertexBuffer(100000, 0, VertexPNDT_FVF, D3DPOOL_MANAGED,
                                      reinterpret_cast<IDirect3DVertexBuffer9**>(out), nullptr);
       }},
      {"index buffer",
       [d](IUnknown** out) {
         return d->CreateIndexBuffer(600, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                     reinterpret_cast<IDirect3DIndexBuffer9**>(out), nullptr);
       }},
      {"texture of four levels",
       [d](IUnknown** out) {
         return d->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                 reinterpret_cast<IDirect3DTexture9**>(out), nullptr);
       }},
      {"texture with generated levels",
       [d](IUnknown** out) {
         return d->CreateTexture(64, 32, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED,
                                 reinterpret_cast<IDirect3DTexture9**>(out), nullptr);
       }},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    long long allocations = 0;
    {
      const ScopedAllocationFailure counting(-1);
      IUnknown* made = nullptr;
      ASSERT_EQ(k.make(&made), D3D_OK);
      made->Release();
      allocations = counting.Count();
    }
    ASSERT_GE(allocations, 1);
    for (long long n = 0; n < allocations; ++n) {
      SCOPED_TRACE(n);
      const unsigned long long lacks = OutOfMemoryCount();
      IUnknown* made = reinterpret_cast<IUnknown*>(this);  // must come back null
      {
        const ScopedAllocationFailure failing(n);
        EXPECT_TRUE(IsOutOfMemory(k.make(&made)));
      }
      EXPECT_EQ(made, nullptr);
      EXPECT_EQ(OutOfMemoryCount(), lacks + 1);
      ASSERT_EQ(k.make(&made), D3D_OK);
      made->Release();
    }
  }
}

// Each upload a draw makes (vertices, picture, indices), failed in turn:
// the draw answers that memory ran out and draws nothing; the next draw
// uploads what was left and draws the picture.
TYPED_TEST(DeviceContract, EachUploadOfADrawThatFailsFailsTheDrawUntilItWorks) {
  IDirect3DDevice9* d = this->m_device;
  d->SetRenderState(D3DRS_LIGHTING, 0);
  d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  IDirect3DTexture9* texture = nullptr;
  // A red square over the whole view, made and bound afresh.
  auto bindSquare = [&] {
    if (this->m_vb) this->m_vb->Release(), this->m_vb = nullptr;
    if (this->m_ib) this->m_ib->Release(), this->m_ib = nullptr;
    if (texture) texture->Release();
    this->Bind(4, {0, 1, 2, 2, 1, 3});
    void* data = nullptr;
    ASSERT_EQ(this->m_vb->Lock(0, 0, &data, 0), D3D_OK);
    auto* v = static_cast<VertexPNDT*>(data);
    for (int i = 0; i < 4; ++i) {
      v[i].x = i % 2 ? 1.0f : -1.0f;
      v[i].y = i / 2 ? 1.0f : -1.0f;
      v[i].z = 0.5f;
      v[i].diffuse = 0xFFFFFFFF;
    }
    ASSERT_EQ(this->m_vb->Unlock(), D3D_OK);
    ASSERT_EQ(d->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT texels;
    ASSERT_EQ(texture->LockRect(0, &texels, nullptr, 0), D3D_OK);
    for (int row = 0; row < 2; ++row)
      std::fill_n(reinterpret_cast<DWORD*>(static_cast<BYTE*>(texels.pBits) + row * texels.Pitch), 2,
                  0xFFFF0000u);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(d->SetTexture(0, texture), D3D_OK);
  };
  auto draw = [&] {
    d->BeginScene();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const HRESULT hr = d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
    return hr;
  };
  auto showsRed = [&] { return !TypeParam::kDraws || this->m_backEnd.Centre(d) == 0xFFFF0000; };
  long long uploads = 0;
  {
    bindSquare();
    const ScopedAllocationFailure counting(-1);
    ASSERT_EQ(draw(), D3D_OK);
    uploads = counting.Count();
  }
  EXPECT_TRUE(showsRed());
  EXPECT_EQ(uploads, TypeParam::kDraws ? 3 : 0);  // nothing to upload on the recording device
  for (long long n = 0; n < uploads; ++n) {
    SCOPED_TRACE(n);
    bindSquare();
    {
      const ScopedAllocationFailure failing(n);
      EXPECT_EQ(draw(), D3DERR_OUTOFVIDEOMEMORY);
    }
    EXPECT_EQ(this->m_backEnd.Centre(d), TypeParam::kDraws ? 0xFF000000 : 0);
    EXPECT_EQ(draw(), D3D_OK);
    EXPECT_TRUE(showsRed());
  }
  d->SetTexture(0, nullptr);
  texture->Release();
}

}  // namespace
