// The in-memory resources and the recording device: locks and what they mark
// as changed, texture levels, draw validation, scripted lost devices and
// Direct3D 9's initial state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/d3d9/d3d9_resources.h"
#include "platform/d3d9/recording/recording_device.h"
#include "refused_calls.h"

namespace {

// A recording device on an 800 x 600 window.
class RecordingDeviceTest : public ::testing::Test, public RefusedCallCheck {
 protected:
  void SetUp() override {
    m_d3d = Direct3DCreate9Recording(&m_script);
    D3DPRESENT_PARAMETERS p;
    p.Windowed = 1;
    p.EnableAutoDepthStencil = 1;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    ASSERT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, &m_window, 0, &p, &m_device), D3D_OK);
  }
  void TearDown() override {
    CheckRefusedCalls(m_script);
    m_device->Release();
    m_d3d->Release();
  }
  // A bound 4-vertex buffer and a 6-index buffer with the given indices.
  void BindQuad(std::vector<WORD> indices) {
    ASSERT_EQ(m_device->CreateVertexBuffer(4 * 36, 0, VertexPNDT_FVF, D3DPOOL_MANAGED, &m_vb, nullptr),
              D3D_OK);
    ASSERT_EQ(m_device->CreateIndexBuffer(UINT(indices.size()) * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ib,
                                          nullptr),
              D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(m_ib->Lock(0, 0, &data, 0), D3D_OK);
    std::copy(indices.begin(), indices.end(), static_cast<WORD*>(data));
    m_ib->Unlock();
    m_device->SetStreamSource(0, m_vb, 0, 36);
    m_device->SetFVF(VertexPNDT_FVF);
    m_device->SetIndices(m_ib);
    m_vb->Release();  // the device holds them
    m_ib->Release();
  }
  RecordingScript m_script;
  RecordingWindow m_window{800, 600};
  IDirect3D9* m_d3d = nullptr;
  IDirect3DDevice9* m_device = nullptr;
  IDirect3DVertexBuffer9* m_vb = nullptr;
  IDirect3DIndexBuffer9* m_ib = nullptr;
};

}  // namespace

// ---- resources --------------------------------------------------------------------------
TEST(CpuBufferStore, LocksMarkTheUnionOfWrittenRanges) {
  CpuBufferStore store(100);
  UINT begin = 0, end = 0;
  ASSERT_TRUE(store.TakeDirty(&begin, &end));  // new: everything
  EXPECT_EQ(end, 100u);
  EXPECT_FALSE(store.TakeDirty(&begin, &end));
  void* data = nullptr;
  ASSERT_EQ(store.Lock(40, 10, &data, 0), D3D_OK);
  EXPECT_EQ(static_cast<BYTE*>(data), store.Data() + 40);
  ASSERT_EQ(store.Lock(10, 5, &data, 0), D3D_OK);  // locks nest
  ASSERT_EQ(store.Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(store.Unlock(), D3D_OK);
  EXPECT_EQ(store.Unlock(), D3D_OK);
  EXPECT_TRUE(store.IsLocked());
  EXPECT_EQ(store.Unlock(), D3D_OK);
  EXPECT_EQ(store.Unlock(), D3DERR_INVALIDCALL);
  ASSERT_TRUE(store.TakeDirty(&begin, &end));
  EXPECT_EQ(begin, 10u);
  EXPECT_EQ(end, 50u);
  EXPECT_EQ(store.Lock(90, 11, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(store.Lock(101, 0, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(store.Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_FALSE(store.IsLocked());
}

// A back end that holds the bytes lets the store drop its copy; a lock
// brings it back through the restorer, and the store keeps it from then on.
TEST(CpuBufferStore, DroppedCopyComesBackOnLockAndStays) {
  CpuBufferStore store(64);
  UINT begin = 0, end = 0;
  const auto restorer = [](int* calls, bool works) {
    return [calls, works](BYTE* into, UINT length) {
      ++*calls;
      for (UINT i = 0; i < length; ++i) into[i] = BYTE(i);
      return works;
    };
  };
  int calls = 0;
  EXPECT_FALSE(store.DropCopy(restorer(&calls, true)));  // never uploaded yet
  store.TakeDirty(&begin, &end);
  void* data = nullptr;
  ASSERT_EQ(store.Lock(0, 8, &data, 0), D3D_OK);
  EXPECT_FALSE(store.DropCopy(restorer(&calls, true)));  // locked
  store.Unlock();
  EXPECT_FALSE(store.DropCopy(restorer(&calls, true)));  // a change not taken yet
  store.TakeDirty(&begin, &end);
  ASSERT_TRUE(store.DropCopy(restorer(&calls, true)));
  EXPECT_FALSE(store.HasCopy());
  ASSERT_EQ(store.Lock(16, 4, &data, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(static_cast<BYTE*>(data)[0], 16);
  store.Unlock();
  EXPECT_FALSE(store.TakeDirty(&begin, &end));           // bringing back changes nothing
  EXPECT_FALSE(store.DropCopy(restorer(&calls, true)));  // kept for good
  EXPECT_TRUE(store.HasCopy() && store.KeepsCopy());

  // A copy that cannot come back fails the lock and keeps nothing locked.
  CpuBufferStore lost(64);
  lost.TakeDirty(&begin, &end);
  ASSERT_TRUE(lost.DropCopy(restorer(&calls, false)));
  EXPECT_EQ(lost.Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_FALSE(lost.IsLocked());
  EXPECT_EQ(lost.Data(), nullptr);
}

// Large stores map their own zeroed pages.
TEST(CpuBufferStore, LargeStoresStartZeroed) {
  CpuBufferStore store(9u << 20);
  void* data = nullptr;
  ASSERT_EQ(store.Lock(0, 0, &data, 0), D3D_OK);
  const auto* bytes = static_cast<const BYTE*>(data);
  EXPECT_EQ(std::count(bytes, bytes + store.Length(), BYTE{0}), std::ptrdiff_t{9} << 20);
  store.Unlock();
}

TEST(MemoryTexture, LevelsHalveDownToOneTexel) {
  auto* texture = new MemoryTexture(64, 16, 0, 0, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED);
  ASSERT_EQ(texture->GetLevelCount(), 7u);
  const UINT widths[] = {64, 32, 16, 8, 4, 2, 1}, heights[] = {16, 8, 4, 2, 1, 1, 1};
  for (UINT level = 0; level < 7; ++level) {
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, widths[level]);
    EXPECT_EQ(desc.Height, heights[level]);
  }
  D3DSURFACE_DESC desc;
  EXPECT_EQ(texture->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);
  texture->Release();
  auto* automatic = new MemoryTexture(64, 64, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8B8G8R8, 1);
  EXPECT_EQ(automatic->GetLevelCount(), 1u);
  EXPECT_TRUE(automatic->AutoGenMipMap());
  automatic->Release();
}

TEST(MemoryTexture, SurfaceLocksItsLevelAndKeepsTheTextureAlive) {
  auto* texture = new MemoryTexture(8, 8, 2, 0, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED);
  EXPECT_TRUE(texture->TakeDirty());
  EXPECT_FALSE(texture->TakeDirty());
  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(1, &surface), D3D_OK);
  texture->Release();  // the surface still holds it
  D3DLOCKED_RECT locked;
  const RECT part{1, 2, 3, 4};
  ASSERT_EQ(surface->LockRect(&locked, &part, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 16);
  D3DLOCKED_RECT again;
  EXPECT_EQ(surface->LockRect(&again, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
  static_cast<DWORD*>(locked.pBits)[0] = 0x12345678;
  EXPECT_EQ(surface->UnlockRect(), D3D_OK);
  EXPECT_EQ(surface->UnlockRect(), D3DERR_INVALIDCALL);
  const RECT outside{0, 0, 5, 4};
  EXPECT_EQ(surface->LockRect(&locked, &outside, 0), D3DERR_INVALIDCALL);
  ASSERT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(static_cast<const DWORD*>(locked.pBits)[2 * 4 + 1], 0x12345678u);
  surface->UnlockRect();
  surface->Release();
}

TEST(TextureArguments, AreCheckedBeforeCreation) {
  IDirect3DTexture9* out = nullptr;
  EXPECT_EQ(CheckTextureArguments(32, 32, 0, D3DFMT_A8B8G8R8, &out, nullptr), D3D_OK);
  EXPECT_EQ(CheckTextureArguments(32, 32, 6, D3DFMT_A8R8G8B8, &out, nullptr), D3D_OK);
  EXPECT_EQ(CheckTextureArguments(32, 32, 7, D3DFMT_A8B8G8R8, &out, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(CheckTextureArguments(0, 32, 1, D3DFMT_A8B8G8R8, &out, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(CheckTextureArguments(32, 32, 1, D3DFMT_D24S8, &out, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(CheckTextureArguments(32, 32, 1, D3DFMT_A8B8G8R8, nullptr, nullptr), D3DERR_INVALIDCALL);
}

// ---- the recording device -------------------------------------------------------------------
TEST_F(RecordingDeviceTest, StartsWithDirect3DDefaults) {
  struct {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } const renderStates[] = {
      {D3DRS_ZENABLE, D3DZB_TRUE},
      {D3DRS_ZWRITEENABLE, 1},
      {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
      {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_LIGHTING, 1},
      {D3DRS_SPECULARENABLE, 0},
      {D3DRS_SRCBLEND, D3DBLEND_ONE},
      {D3DRS_DESTBLEND, D3DBLEND_ZERO},
      {D3DRS_ALPHABLENDENABLE, 0},
      {D3DRS_LOCALVIEWER, 1},
      {D3DRS_NORMALIZENORMALS, 0},
      {D3DRS_COLORVERTEX, 1},
      {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
      {D3DRS_FOGEND, FloatToDWORD(1.0f)},
      {D3DRS_AMBIENT, 0},
  };
  DWORD value = 0;
  for (const auto& rs : renderStates) {
    m_device->GetRenderState(rs.state, &value);
    EXPECT_EQ(value, rs.value) << "render state " << rs.state;
  }
  m_device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
  EXPECT_EQ(value, D3DTOP_MODULATE);
  m_device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
  EXPECT_EQ(value, D3DTOP_DISABLE);
  m_device->GetTextureStageState(0, D3DTSS_ALPHAOP, &value);
  EXPECT_EQ(value, D3DTOP_SELECTARG1);
  m_device->GetSamplerState(3, D3DSAMP_ADDRESSU, &value);
  EXPECT_EQ(value, D3DTADDRESS_WRAP);
  m_device->GetSamplerState(0, D3DSAMP_MINFILTER, &value);
  EXPECT_EQ(value, D3DTEXF_POINT);
  D3DVIEWPORT9 viewport;
  m_device->GetViewport(&viewport);
  EXPECT_EQ(viewport, (D3DVIEWPORT9{0, 0, 800, 600, 0, 1}));  // size from the window
}

TEST_F(RecordingDeviceTest, DrawsOutsideTheirBuffersAreInvalid) {
  ExpectRefusedCalls(7);
  BindQuad({0, 1, 2, 2, 1, 3});
  struct Case {
    INT base;
    UINT minIndex, vertices, start, primitives;
    bool valid;
  } const cases[] = {
      {0, 0, 4, 0, 2, true},  {1, 0, 4, 0, 2, false},  // index 3 + base 1 is past the 4 vertices
      {0, 0, 3, 0, 2, false},                          // index 3 outside the stated vertex range
      {0, 0, 4, 3, 2, false},                          // past the 6 indices
      {0, 0, 4, 0, 0, false},                          // nothing to draw
  };
  m_device->BeginScene();
  for (const Case& c : cases)
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, c.base, c.minIndex, c.vertices, c.start,
                                             c.primitives) == D3D_OK,
              c.valid)
        << c.base << " " << c.vertices << " " << c.start << " " << c.primitives;
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  void* data = nullptr;
  m_vb->Lock(0, 0, &data, 0);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  m_vb->Unlock();
  m_device->EndScene();
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(m_script.m_log.Count("DrawIndexedPrimitive 4 1 0 4 0 2 INVALID"), 1);
}

TEST_F(RecordingDeviceTest, LostDeviceStaysLostUntilAResetWorks) {
  m_device->SetRenderState(D3DRS_LIGHTING, 0);
  m_script.m_presentResults = {D3DERR_DEVICELOST};
  EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  m_script.m_cooperativeResults = {D3DERR_DEVICELOST};
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  D3DPRESENT_PARAMETERS p;
  p.BackBufferWidth = 640;
  p.BackBufferHeight = 480;
  p.Windowed = 1;
  m_script.m_resetResults = {D3DERR_OUTOFVIDEOMEMORY};
  EXPECT_EQ(m_device->Reset(&p), D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(m_device->Reset(&p), D3D_OK);
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  DWORD lighting = 1;
  m_device->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, 0u);  // state survives a reset
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DSURFACE_DESC desc;
  back->GetDesc(&desc);
  back->Release();
  EXPECT_EQ(desc.Width, 640u);
  EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
}

TEST_F(RecordingDeviceTest, ScriptedLockFailuresCountEveryLock) {
  ExpectRefusedCalls(1);  // the unlock after the failed lock
  BindQuad({0, 1, 2});    // one index-buffer lock: number 0
  m_script.m_failLockAt = 2;
  void* data = nullptr;
  EXPECT_EQ(m_vb->Lock(0, 36, &data, 0), D3D_OK);  // 1
  m_vb->Unlock();
  EXPECT_EQ(m_vb->Lock(0, 36, &data, 0), D3DERR_INVALIDCALL);  // 2
  EXPECT_EQ(m_vb->Unlock(), D3DERR_INVALIDCALL);               // nothing was locked
  EXPECT_EQ(m_vb->Lock(36, 72, &data, D3DLOCK_NOOVERWRITE), D3D_OK);
  m_vb->Unlock();
  EXPECT_EQ(m_script.m_log.Matching("VB.Lock"),
            (std::vector<std::string>{"VB.Lock vb1 0 36 0", "VB.Lock vb1 0 36 0 FAILED",
                                      "VB.Lock vb1 36 72 4096"}));
}

TEST(RecordingDirect3D, CreationFollowsTheFactoryAndTheScript) {
  SetDirect3DFactory({});
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  RecordingScript script;
  const ScopedRecordingDevice factory(&script);
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  RecordingWindow window;
  D3DPRESENT_PARAMETERS p;
  p.Windowed = 1;
  p.MultiSampleType = 4;  // not among the script's types
  IDirect3DDevice9* device = nullptr;
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, &window, 0, &p, &device), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(device, nullptr);
  d3d->Release();
  script.m_failDirect3DCreate = true;
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  {  // a nested scope puts the outer factory back
    RecordingScript inner;
    const ScopedRecordingDevice nested(&inner);
    IDirect3D9* made = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(made, nullptr);
    made->Release();
  }
  const int asked = script.m_log.Count("Direct3DCreate9");
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  EXPECT_EQ(script.m_log.Count("Direct3DCreate9"), asked + 1);  // the outer script was asked
}

// A copy let go of (as the GL device does after its upload) that memory
// cannot take back: the lock and the index look-up answer that memory ran
// out and keep the copy dropped; once memory is there they bring it back.
TEST(MemoryIndexBufferTest, ADroppedCopyWithoutMemoryToComeBackIsAnswered) {
  MemoryIndexBuffer buffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED);
  UINT begin = 0, end = 0;
  ASSERT_TRUE(buffer.Store().TakeDirty(&begin, &end));
  ASSERT_TRUE(buffer.Store().DropCopy([](BYTE* into, UINT length) {
    const WORD kept[] = {4, 9, 2};
    std::memcpy(into, kept, length);
    return true;
  }));
  WORD lowest = 0, highest = 0;
  void* data = nullptr;
  {
    const ScopedAllocationFailure failing(0, true);
    EXPECT_EQ(buffer.IndexRange(0, 3, &lowest, &highest), E_OUTOFMEMORY);
    EXPECT_EQ(buffer.Lock(0, 0, &data, 0), E_OUTOFMEMORY);
    EXPECT_FALSE(buffer.Store().HasCopy());
  }
  ASSERT_EQ(buffer.IndexRange(0, 3, &lowest, &highest), D3D_OK);
  EXPECT_EQ(lowest, 2);
  EXPECT_EQ(highest, 9);
  EXPECT_TRUE(buffer.Store().HasCopy());
}

// The smallest and largest index of a range, however the ranges are asked
// for (in buffer order, backwards, overlapping, the same start with another
// count), and the new ones after the indices are written again.
TEST(MemoryIndexBufferTest, IndexRangesAnswerInAnyOrderAndFollowWrites) {
  MemoryIndexBuffer buffer(24, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED);
  auto write = [&](std::vector<WORD> values) {
    void* data = nullptr;
    ASSERT_EQ(buffer.Lock(0, 0, &data, 0), D3D_OK);
    std::copy(values.begin(), values.end(), static_cast<WORD*>(data));
    ASSERT_EQ(buffer.Unlock(), D3D_OK);
  };
  auto check = [&](const std::vector<WORD>& values, UINT start, UINT count) {
    WORD lowest = 0, highest = 0;
    buffer.IndexRange(start, count, &lowest, &highest);
    const auto [lo, hi] = std::minmax_element(values.begin() + start, values.begin() + start + count);
    EXPECT_EQ(lowest, *lo) << start << " " << count;
    EXPECT_EQ(highest, *hi) << start << " " << count;
  };
  const std::pair<UINT, UINT> asks[] = {{0, 3}, {3, 3}, {6, 3}, {9, 3},  {0, 3}, {3, 3}, {9, 3},
                                        {6, 3}, {3, 3}, {0, 3}, {0, 12}, {0, 6}, {5, 7}, {0, 3}};
  for (const std::vector<WORD>& values : {std::vector<WORD>{5, 1, 9, 2, 2, 2, 70, 60, 80, 0, 4, 3},
                                          std::vector<WORD>{1, 2, 3, 400, 500, 600, 7, 7, 7, 30, 10, 20}}) {
    write(values);
    for (int round = 0; round < 2; ++round)
      for (const auto& [start, count] : asks) check(values, start, count);
  }
}
