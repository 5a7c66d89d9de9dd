// The engine state over the recording device: start-up and its failures, the
// device search, frame begin with lost devices, resizing, reset, the frame
// rate and the pick ray.
#include <cmath>

#include "engine/draw_resources.h"
#include "engine_access.h"
#include "engine_fixture.h"

namespace {

std::string CreateEntry(unsigned ms, unsigned depth, UINT w = 800, UINT h = 600,
                        const char* interval = "0x00000000") {
  return "CreateDevice 64 ms=" + std::to_string(ms) + " depth=" + std::to_string(depth) +
         " size=" + std::to_string(w) + "x" + std::to_string(h) + " interval=" + interval;
}

}  // namespace

// ---- start-up -----------------------------------------------------------------------------
TEST_F(EngineTest, StartUpFailuresGiveTheirMessages) {
  m_script.m_failDirect3DCreate = true;
  const InitResult init = g_Engine.InitDirect3D();
  EXPECT_FALSE(init.success);
  EXPECT_EQ(init.message, "DirectX could not be initialized");

  const InitResult noAdapter = g_Engine.CreateDevice(&m_window, true);
  EXPECT_FALSE(noAdapter.success);
  EXPECT_EQ(noAdapter.message, "No video adapter found for windowed mode.");

  m_script.m_failDirect3DCreate = false;
  m_script.m_depthFormats.clear();
  ASSERT_TRUE(g_Engine.InitDirect3D().success);
  const InitResult noFormat = g_Engine.CreateDevice(&m_window, true);
  EXPECT_FALSE(noFormat.success);
  EXPECT_EQ(noFormat.message, "No compatible video format found for windowed mode.");
  EXPECT_EQ(g_Engine.ComboInUse(), nullptr);
  EXPECT_FALSE(Inside(g_Engine).Active());
  EXPECT_EQ(g_SuspendCount, 1);
}

TEST_F(EngineTest, EnumerationKeepsPreferenceOrderAndTheDesktopMode) {
  m_script.m_depthFormats = {D3DFMT_D16, D3DFMT_D32, D3DFMT_D24X8, D3DFMT_D24S8};
  m_script.m_multiSampleTypes = {8, 0, 2};
  m_script.m_desktopMode = {1600, 900, 75, D3DFMT_X8R8G8B8};
  ASSERT_TRUE(g_Engine.InitDirect3D().success);
  ASSERT_EQ(Inside(g_Engine).Adapters().size(), 1u);
  const AdapterInfo& adapter = *Inside(g_Engine).Adapters()[0];
  EXPECT_EQ(adapter.m_ordinal, 0);
  EXPECT_STREQ(adapter.m_identifier.Description, "Recording device");
  const DeviceCombo& combo = adapter.m_windowedCombo;
  EXPECT_EQ(combo.m_depthStencilFormats,
            (std::vector<D3DFORMAT>{D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32, D3DFMT_D16}));
  EXPECT_EQ(combo.m_multiSampleTypes, (std::vector<D3DMULTISAMPLE_TYPE>{0, 2, 8}));
  ASSERT_EQ(combo.m_displayModes.size(), 1u);
  EXPECT_EQ(combo.m_displayModes[0], m_script.m_desktopMode);
  EXPECT_EQ(combo.m_adapter, &adapter);
}

TEST_F(EngineTest, DeviceSearchTakesTheHighestWorkingMultisampleType) {
  m_script.m_multiSampleTypes = {0, 2, 4};
  m_script.m_depthFormats = {D3DFMT_D24S8, D3DFMT_D16};
  // Type 4 fails with every depth format; type 2 only with D16.
  m_script.m_deviceAccepts = [](const D3DPRESENT_PARAMETERS& p) {
    return p.MultiSampleType < 4 && p.AutoDepthStencilFormat == D3DFMT_D16;
  };
  StartEngine();
  // StartEngine cleared the log; read the parameters the device got.
  EXPECT_EQ(g_Engine.PresentParameters().MultiSampleType, 2u);
  EXPECT_EQ(g_Engine.PresentParameters().AutoDepthStencilFormat, D3DFMT_D16);

  testkit::FreshEngine();
  m_script.m_log.Clear();
  ASSERT_TRUE(g_Engine.InitDirect3D().success);
  ASSERT_TRUE(g_Engine.CreateDevice(&m_window, true).success);
  const std::vector<std::string> tries = Log().Matching("CreateDevice");
  EXPECT_EQ(tries, (std::vector<std::string>{CreateEntry(4, D3DFMT_D24S8), CreateEntry(4, D3DFMT_D16),
                                             CreateEntry(2, D3DFMT_D24S8), CreateEntry(2, D3DFMT_D16)}));
}

TEST_F(EngineTest, CreatedDeviceIsActiveWithItsParametersAndDefaults) {
  m_script.m_multiSampleTypes = {0, 2, 4};
  StartEngine(/*vsync=*/false);
  const D3DPRESENT_PARAMETERS& p = g_Engine.PresentParameters();
  EXPECT_EQ(p.MultiSampleType, 4u);
  EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D24S8);
  EXPECT_EQ(p.BackBufferWidth, 800u);
  EXPECT_EQ(p.BackBufferHeight, 600u);
  EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);  // the screen is the desktop mode
  EXPECT_EQ(p.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
  EXPECT_TRUE(p.Windowed && p.EnableAutoDepthStencil);
  EXPECT_EQ(p.hDeviceWindow, &m_window);
  EXPECT_EQ(Inside(g_Engine).ClearFlags(), 3u);
  EXPECT_EQ(g_Engine.BackBufferSize().cx, 800);
  EXPECT_EQ(g_Engine.BackBufferSize().cy, 600);
  EXPECT_TRUE(Inside(g_Engine).Active());
  EXPECT_EQ(g_SuspendCount, 0);
  DWORD filter = 0;
  for (D3DSAMPLERSTATETYPE s : {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER}) {
    g_Engine.Device()->GetSamplerState(0, s, &filter);
    EXPECT_EQ(filter, D3DTEXF_LINEAR) << s;
  }
  EXPECT_EQ(RenderState(D3DRS_MULTISAMPLEANTIALIAS), 1u);
}

TEST_F(EngineTest, ScreenOtherThanTheDesktopLeavesTheBackBufferFormatToTheDevice) {
  m_window.m_screen = {1024, 768};
  ASSERT_TRUE(g_Engine.InitDirect3D().success);
  ASSERT_TRUE(g_Engine.CreateDevice(&m_window, true).success);
  EXPECT_EQ(g_Engine.PresentParameters().BackBufferFormat, D3DFMT_UNKNOWN);
  EXPECT_EQ(g_Engine.PresentParameters().PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);
  EXPECT_EQ(Inside(g_Engine).BackBufferDesc().Format, D3DFMT_X8R8G8B8);
}

TEST(FindDisplayMode, PicksTheHighestRefreshRateOfTheExactSize) {
  const std::vector<DisplayMode> modes = {
      {1024, 768, 60, 22}, {1024, 768, 75, 22}, {800, 600, 85, 22}, {1024, 768, 75, 23}};
  EXPECT_EQ(FindDisplayMode(modes, 1024, 768), (DisplayMode{1024, 768, 75, 22}));
  EXPECT_EQ(FindDisplayMode(modes, 800, 600), (DisplayMode{800, 600, 85, 22}));
  EXPECT_EQ(FindDisplayMode(modes, 1280, 1024), DisplayMode{});
  EXPECT_EQ(FindDisplayMode({}, 1024, 768).Format, D3DFMT_UNKNOWN);
}

// ---- frames --------------------------------------------------------------------------------
TEST_F(EngineTest, FrameBeginClearsBeginsTheSceneAndAppliesTheCamera) {
  StartEngine();
  g_Engine.SetClearColor(0xFF204080);
  g_Engine.SetAmbientColor(0xFF101010);
  ASSERT_TRUE(g_Engine.BeginFrame());
  EXPECT_TRUE(m_sleeps.empty());
  EXPECT_EQ(Log().Entries()[0], "Clear 0 3 0xFF204080 1 0");
  EXPECT_EQ(Log().Entries()[1], "BeginScene");
  EXPECT_EQ(RenderState(D3DRS_AMBIENT), 0xFF101010u);
  D3DXMATRIX projection, expected, view;
  g_Engine.Device()->GetTransform(D3DTS_PROJECTION, &projection);
  D3DXMatrixPerspectiveFovLH(&expected, m_camera.m_fieldOfView, 800.0f / 600.0f, m_camera.m_nearPlane,
                             m_camera.m_farPlane);
  EXPECT_EQ(projection, expected);
  g_Engine.Device()->GetTransform(D3DTS_VIEW, &view);
  EXPECT_EQ(view, m_camera.m_view);
}

TEST_F(EngineTest, FailedBeginSceneOrMissingDeviceSkipsTheFrame) {
  EXPECT_FALSE(g_Engine.BeginFrame());  // no device yet (and inactive: it sleeps)
  EXPECT_EQ(m_sleeps, std::vector<int>{50});
  StartEngine();
  m_script.m_beginSceneResults = {D3DERR_INVALIDCALL};
  EXPECT_FALSE(g_Engine.BeginFrame());
}

TEST_F(EngineTest, LostDeviceWaitsUntilItCanBeReset) {
  StartEngine();
  Inside(g_Engine).MarkDeviceLost();
  m_script.m_cooperativeResults = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
  EXPECT_FALSE(g_Engine.BeginFrame());
  EXPECT_TRUE(Inside(g_Engine).DeviceLost());
  EXPECT_EQ(Log().Count("Reset"), 0);
  EXPECT_TRUE(g_Engine.BeginFrame());
  EXPECT_FALSE(Inside(g_Engine).DeviceLost());
  EXPECT_EQ(Log().Count("Reset 800 600"), 1);
  EXPECT_EQ(m_sleeps, (std::vector<int>{50, 50}));
}

TEST_F(EngineTest, FailedResetIsRetriedByTheNextFrame) {
  StartEngine();
  ASSERT_TRUE(g_Engine.BeginFrame());
  m_script.m_presentResults = {D3DERR_DEVICELOST};
  EndFrame();
  ASSERT_TRUE(Inside(g_Engine).DeviceLost());
  m_script.m_resetResults = {D3DERR_DEVICELOST};
  EXPECT_FALSE(g_Engine.BeginFrame());
  EXPECT_TRUE(Inside(g_Engine).DeviceLost());
  EXPECT_TRUE(g_Engine.BeginFrame());  // the device answers NOTRESET again
  EXPECT_EQ(Log().Count("Reset"), 2);
  EXPECT_FALSE(Inside(g_Engine).DeviceLost());
}

TEST_F(EngineTest, CooperativeDeviceClearsTheLostFlagWithoutReset) {
  StartEngine();
  Inside(g_Engine).MarkDeviceLost();
  m_script.m_cooperativeResults = {D3D_OK};
  EXPECT_TRUE(g_Engine.BeginFrame());
  EXPECT_FALSE(Inside(g_Engine).DeviceLost());
  EXPECT_EQ(Log().Count("Reset"), 0);
}

TEST_F(EngineTest, LostDeviceOnAMinimisedWindowStillBeginsTheScene) {
  StartEngine();
  Inside(g_Engine).MarkDeviceLost();
  Inside(g_Engine).OnSize(SIZE_MINIMIZED);
  EXPECT_TRUE(g_Engine.BeginFrame());
  EXPECT_EQ(Log().Count("TestCooperativeLevel"), 0);
  EXPECT_EQ(m_sleeps, std::vector<int>{50});
}

TEST_F(EngineTest, FrameRateReadsZeroUntilTheFirstIntervalOverOneSecond) {
  StartEngine();
  const double start = m_clock.Now();
  for (int frame = 1; frame <= 60; ++frame) {
    m_clock.Set(start + frame / 60.0);
    Inside(g_Engine).UpdateFPS();
  }
  EXPECT_EQ(g_Engine.Fps(), 0.0);  // exactly one second is not over it
  m_clock.Set(start + 61 / 60.0);
  Inside(g_Engine).UpdateFPS();
  EXPECT_NEAR(g_Engine.Fps(), 60.0, 1e-6);
  // The next interval counts afresh: 21 frames over 1.05 s read 20.
  const double second = m_clock.Now();
  for (int frame = 1; frame <= 21; ++frame) {
    m_clock.Set(second + frame * 0.05);
    Inside(g_Engine).UpdateFPS();
    if (frame == 19) {
      EXPECT_NEAR(g_Engine.Fps(), 60.0, 1e-6);
    }
  }
  EXPECT_NEAR(g_Engine.Fps(), 20.0, 1e-6);
}

// ---- resizing -------------------------------------------------------------------------------
TEST_F(EngineTest, MinimiseThenRestoreOrMaximiseLeavesTheSuspendCount) {
  StartEngine();
  for (int second : {SIZE_RESTORED, SIZE_MAXIMIZED}) {
    m_window.SetClientSize(0, 0);
    g_Engine.Resize(SIZE_MINIMIZED);
    EXPECT_EQ(g_SuspendCount, 1);
    EXPECT_FALSE(Inside(g_Engine).Active());
    m_window.SetClientSize(800, 600);
    g_Engine.Resize(second);
    EXPECT_EQ(g_SuspendCount, 0) << second;
    EXPECT_TRUE(Inside(g_Engine).Active()) << second;
    g_Engine.Resize(SIZE_RESTORED);  // back to a plain window
  }
  // A minimise reported twice is still one suspension.
  m_window.SetClientSize(0, 0);
  g_Engine.Resize(SIZE_MINIMIZED);
  g_Engine.Resize(SIZE_MINIMIZED);
  m_window.SetClientSize(800, 600);
  g_Engine.Resize(SIZE_RESTORED);
  EXPECT_EQ(g_SuspendCount, 0);
  EXPECT_TRUE(Inside(g_Engine).Active());
  // The 0 x 0 client of the minimised window never reached the device.
  EXPECT_EQ(Log().Count("Reset"), 0) << Log().Dump();
}

TEST_F(EngineTest, OnlyAChangedClientSizeResetsTheDevice) {
  StartEngine();
  g_Engine.Resize(SIZE_MAXIMIZED);  // same size: the window manager may do that
  g_Engine.Resize(SIZE_RESTORED);
  EXPECT_EQ(Log().Count("Reset"), 0);
  m_window.SetClientSize(1024, 700);
  g_Engine.Resize(SIZE_RESTORED);
  EXPECT_EQ(Log().Matching("Reset"),
            std::vector<std::string>{"Reset 1024 700 ms=0 depth=75 interval=0x00000000"});
  EXPECT_EQ(g_Engine.BackBufferSize().cx, 1024);
  EXPECT_EQ(g_Engine.BackBufferSize().cy, 700);
  m_window.SetClientSize(1024, 701);
  g_Engine.Resize(SIZE_RESTORED);
  EXPECT_EQ(Log().Count("Reset"), 2);
}

TEST_F(EngineTest, ZeroHeightClientIsIgnoredBySizeEvents) {
  StartEngine();
  g_Engine.Resize(SIZE_MINIMIZED);
  m_window.SetClientSize(0, 0);
  g_Engine.Resize(SIZE_RESTORED);  // not yet restored on screen
  EXPECT_TRUE(Inside(g_Engine).Minimized());
  EXPECT_EQ(g_SuspendCount, 1);
}

TEST_F(EngineTest, FailedResizeResetIsRetriedByTheNextFrame) {
  StartEngine();
  m_script.m_resetResults = {D3DERR_OUTOFVIDEOMEMORY};
  m_window.SetClientSize(640, 480);
  g_Engine.Resize(SIZE_RESTORED);
  EXPECT_TRUE(Inside(g_Engine).DeviceLost());
  EXPECT_TRUE(g_Engine.BeginFrame());
  EXPECT_EQ(Log().Matching("Reset"),
            (std::vector<std::string>{"Reset 640 480 ms=0 depth=75 interval=0x00000000",
                                      "Reset 640 480 ms=0 depth=75 interval=0x00000000"}));
  EXPECT_EQ(g_Engine.BackBufferSize().cx, 640);
}

// ---- reset -----------------------------------------------------------------------------------
TEST_F(EngineTest, ResetReappliesRecordedStatesLightsAndFontsAndSprites) {
  StartEngine();
  D3DLIGHT9 light;
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = D3DXVECTOR3(0.5f, 0.5f, -0.7f);
  light.Diffuse = {1, 1, 1, 1};
  g_Engine.SetLight(0, &light);
  g_Engine.SetFillMode(D3DFILL_SOLID);
  g_Engine.SetSpecularEnable(true);
  g_Engine.SetFogEnable(true);
  g_Engine.SetFogColor(0xFF112233);
  g_Engine.SetFogRange(10.0f, 800.0f);
  CKVRFont font;
  ASSERT_EQ(D3DXCreateFontA(g_Engine.Device(), 17, 9, 400, 1, 0, 1, 7, 0, 0, "Verdana", &font.m_font),
            D3D_OK);
  CKVRSprite sprite;
  ASSERT_TRUE(sprite.Create(nullptr));
  CKVRFont noFont;  // a record without an interface is passed over
  // States the reset must put back, disturbed on the device beforehand.
  g_Engine.Device()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  g_Engine.Device()->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
  g_Engine.Device()->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, 0);
  m_script.m_log.Clear();

  ASSERT_EQ(Inside(g_Engine).ResetDevice(), D3D_OK);
  const auto& e = Log().Entries();
  const int reset = Log().IndexOf("Reset 800 600 ms=0 depth=75 interval=0x00000000");
  ASSERT_GE(reset, 2);
  EXPECT_EQ(e[0], "Font.OnLostDevice");
  EXPECT_EQ(e[1], "Sprite.OnLostDevice");
  EXPECT_GT(Log().IndexOf("Font.OnResetDevice"), reset);
  EXPECT_GT(Log().IndexOf("Sprite.OnResetDevice"), reset);
  EXPECT_EQ(Log().Count("SetLight"), 1);
  EXPECT_EQ(Log().Count("LightEnable"), 8);
  D3DLIGHT9 applied;
  BOOL on = 0;
  g_Engine.Device()->GetLight(0, &applied);
  g_Engine.Device()->GetLightEnable(0, &on);
  EXPECT_EQ(applied, light);
  EXPECT_TRUE(on);
  EXPECT_EQ(RenderState(D3DRS_FILLMODE), D3DFILL_SOLID);
  EXPECT_EQ(RenderState(D3DRS_SPECULARENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRS_FOGENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRS_RANGEFOGENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRS_FOGVERTEXMODE), D3DFOG_LINEAR);
  EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0xFF112233u);
  EXPECT_EQ(RenderState(D3DRS_FOGSTART), FloatToDWORD(10.0f));
  EXPECT_EQ(RenderState(D3DRS_FOGEND), FloatToDWORD(800.0f));
  DWORD filter = 0;
  for (D3DSAMPLERSTATETYPE s : {D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER}) {
    g_Engine.Device()->GetSamplerState(0, s, &filter);
    EXPECT_EQ(filter, D3DTEXF_LINEAR) << s;
  }
  EXPECT_EQ(RenderState(D3DRS_MULTISAMPLEANTIALIAS), 1u);
}

// ---- pick ray ---------------------------------------------------------------------------------
TEST_F(EngineTest, ScreenRayThroughTheCentreFollowsTheCamera) {
  StartEngine();
  m_camera.SetEye(100, -50, 300);
  m_camera.LookAt(0, 0, 0);
  ASSERT_TRUE(g_Engine.BeginFrame());
  D3DXVECTOR3 origin, direction;
  g_Engine.GetScreenRay(&origin, &direction, 400, 300);
  D3DXVECTOR3 expected = D3DXVECTOR3(0, 0, 0) - m_camera.m_eye;
  D3DXVec3Normalize(&expected, &expected);
  EXPECT_NEAR(origin.x, 100, 1e-3);
  EXPECT_NEAR(origin.y, -50, 1e-3);
  EXPECT_NEAR(origin.z, 300, 1e-3);
  EXPECT_NEAR(direction.x, expected.x, 1e-5);
  EXPECT_NEAR(direction.y, expected.y, 1e-5);
  EXPECT_NEAR(direction.z, expected.z, 1e-5);
  // A point right of the centre bends the ray towards the camera's right.
  g_Engine.GetScreenRay(&origin, &direction, 700, 300);
  EXPECT_GT(D3DXVec3Dot(&direction, &m_camera.m_right), 0.0f);
}

TEST_F(EngineTest, MinimisedClientNeverDividesByZero) {
  m_window.SetClientSize(0, 0);
  StartEngine();
  ASSERT_TRUE(g_Engine.BeginFrame());
  D3DXMATRIX projection;
  g_Engine.Device()->GetTransform(D3DTS_PROJECTION, &projection);
  EXPECT_TRUE(std::isfinite(projection._11) && std::isfinite(projection._22));
  D3DXVECTOR3 origin, direction;
  g_Engine.GetScreenRay(&origin, &direction, 10, 10);
  EXPECT_TRUE(std::isfinite(direction.x) && std::isfinite(direction.y) && std::isfinite(direction.z));
  EXPECT_NEAR(D3DXVec3Length(&direction), 1.0f, 1e-5);
}

// ---- records and shutdown -------------------------------------------------------------------------
TEST_F(EngineTest, RecordsRegisterForTheirLifetimeOnly) {
  {
    CKVRTexture texture;
    CKVRSprite sprite;
    CKVRFont font;
    EXPECT_EQ(Inside(g_Engine).Textures().size(), 1u);
    EXPECT_EQ(Inside(g_Engine).Sprites().size(), 1u);
    EXPECT_EQ(Inside(g_Engine).Fonts().size(), 1u);
    g_Engine.UnregisterFont(&font);  // the owner unregisters early...
    g_Engine.UnregisterFont(&font);  // ...twice: harmless
    EXPECT_TRUE(Inside(g_Engine).Fonts().empty());
  }  // ...and the destructors unregister the rest
  EXPECT_TRUE(Inside(g_Engine).Textures().empty());
  EXPECT_TRUE(Inside(g_Engine).Sprites().empty());
  EXPECT_TRUE(Inside(g_Engine).Fonts().empty());
}

TEST_F(EngineTest, ShutdownReleasesEveryInterfaceButKeepsTheRecords) {
  StartEngine();
  CKVRTexture texture;
  ASSERT_TRUE(texture.CreateBlank(false));
  CKVRSprite sprite;
  ASSERT_TRUE(sprite.Create(&texture));
  sprite.m_useSourceRect = true;
  CKVRFont font;
  ASSERT_EQ(D3DXCreateFontA(g_Engine.Device(), 25, 13, 400, 1, 0, 1, 7, 0, 0, "Verdana", &font.m_font),
            D3D_OK);
  font.m_height = 25;
  g_Engine.Shutdown();
  EXPECT_EQ(texture.m_d3dTexture, nullptr);
  EXPECT_EQ(sprite.m_sprite, nullptr);
  EXPECT_FALSE(sprite.m_useSourceRect);
  EXPECT_EQ(font.m_font, nullptr);
  EXPECT_EQ(font.m_height, 0);
  EXPECT_EQ(Inside(g_Engine).Textures().size(), 1u);
  EXPECT_TRUE(Inside(g_Engine).Adapters().empty());
  EXPECT_EQ(g_Engine.ComboInUse(), nullptr);
  EXPECT_EQ(g_Engine.Device(), nullptr);
  EXPECT_EQ(Inside(g_Engine).Direct3D(), nullptr);
}
