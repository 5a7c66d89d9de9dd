// The scene base: puzzles from pictures, the background sphere, the random
// helpers, the scene light and the clock.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

#include "engine/engine.h"
#include "platform/d3d9/d3d9_resources.h"
#include "saver/scenes/black_hole.h"
#include "saver/scenes/falling_wall.h"
#include "saver/scenes/puzzle_rain.h"
#include "saver/scenes/solving.h"
#include "scene_fixture.h"
#include "tests/engine/engine_access.h"

namespace {

class BareScene : public CScene {
 public:
  void Release() override { ReleaseSphereAndPuzzle(); }
  void Init() override { StartClock(); }
  void Update() override {}
  void Render() override { RenderSphereAndBoard(); }
};

class SceneBase : public SceneTest {
 protected:
  void TearDown() override {
    m_scene.Release();
    SceneTest::TearDown();
  }
  // Texel (0, 0) of level 0 of the picture, and its texture size.
  DWORD PictureTexel() {
    if (!Inside(m_scene).Picture().Lock()) return 0;
    const DWORD texel = *static_cast<const DWORD*>(Inside(m_scene).Picture().m_lockedRect.pBits);
    Inside(m_scene).Picture().Unlock();
    return texel;
  }
  BareScene m_scene;
};

}  // namespace

// ---- puzzles from pictures ---------------------------------------------------------------
TEST_F(SceneBase, GridFollowsThePicturesProportions) {
  struct Case {
    int width, height, wanted, columns, rows;
  };
  const Case cases[] = {
      {1920, 1080, 400, 27, 15}, {1920, 1080, 200, 18, 10}, {1080, 1920, 200, 11, 18},
      {1080, 1920, 400, 15, 26}, {3000, 1000, 200, 24, 8},  {800, 600, 400, 23, 17},
      {800, 600, 200, 16, 12},
  };
  for (const Case& c : cases) {
    const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + ".png";
    std::filesystem::remove_all(m_dir / "PuzzleSamples");
    AddPicture(name, c.width, c.height);
    m_scene.CreatePuzzle(c.wanted, 3);
    const CPuzzleBoard& board = Inside(m_scene).Board();
    EXPECT_EQ(std::make_pair(board.m_columns, board.m_rows), std::make_pair(c.columns, c.rows))
        << c.width << "x" << c.height << " for " << c.wanted;
    EXPECT_EQ(Inside(m_scene).Picture().m_imageInfo.Width, UINT(c.width));
  }
}

TEST_F(SceneBase, PuzzleIsClassicShinyUnturnedWithBacks) {
  AddPicture("a.png", 400, 300, qRgb(200, 30, 30));
  m_scene.CreatePuzzle(50, 1);
  const CPuzzleBoard& board = Inside(m_scene).Board();
  EXPECT_EQ(board.m_definition, 1);
  EXPECT_TRUE(board.m_shinyPieces);
  EXPECT_EQ(board.m_shape, PieceShapeClassic);
  EXPECT_EQ(board.m_irregularity, 75.0f);
  EXPECT_TRUE(board.m_hasBackSide);
  EXPECT_NE(board.m_edgeTexture.m_d3dTexture, nullptr);
  EXPECT_NE(board.m_backTexture.m_d3dTexture, nullptr);
  EXPECT_EQ(board.m_imageTexture, &Inside(m_scene).Picture());
  for (const CPuzzlePiece& piece : board.m_pieces) {
    EXPECT_EQ(piece.m_quarterTurns, 0);
    EXPECT_EQ(piece.m_currentPosition, piece.m_homePosition);
  }
  EXPECT_EQ(PictureTexel(), 0xFF1E1EC8u);  // A8B8G8R8 of (200, 30, 30)
}

TEST_F(SceneBase, WithoutAUsablePictureTheGreyFourteenByFourteenPuzzle) {
  // No picture at all; a file that does not decode; a picture so long that its
  // grid (1,200 x 3 = 3,600 for 200 pieces) would pass the 2,000-piece limit.
  const std::function<void()> setups[] = {
      [] {},
      [&] { m_dir.WriteFile("PuzzleSamples/broken.png", "not a picture"); },
      [&] { AddPicture("long.png", 4000, 10); },
  };
  for (size_t i = 0; i < std::size(setups); ++i) {
    std::filesystem::remove_all(m_dir / "PuzzleSamples");
    setups[i]();
    m_scene.CreatePuzzle(200, 3);
    EXPECT_EQ(Inside(m_scene).Board().m_pieceCount, 196) << i;
    EXPECT_EQ(Inside(m_scene).Picture().m_imageInfo.Width, 64u) << i;
    EXPECT_EQ(Inside(m_scene).Picture().m_width, 64u) << i;
    EXPECT_EQ(PictureTexel(), 0xFF808080u) << i;
  }
}

TEST_F(SceneBase, ADeviceThatRefusesTheGreyTextureStillGetsItsPieces) {
  m_script.m_failResourceCreation = true;
  m_scene.CreatePuzzle(200, 3);
  EXPECT_EQ(Inside(m_scene).Picture().m_d3dTexture, nullptr);
  EXPECT_EQ(Inside(m_scene).Board().m_pieceCount, 196);  // drawn untextured, when at all
}

TEST_F(SceneBase, OnePictureIsDrawnThenTheBoardSeedDecidesTheRest) {
  AddPicture("a.png", 200, 100);
  AddPicture("b.png", 400, 200);  // the same proportions: the same grid
  std::set<UINT> widths;
  std::set<std::uint32_t> statesAfter;
  for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
    CrtSrand(seed);
    const UINT expected = CrtRand() % 2 == 0 ? 200 : 400;
    CrtSrand(seed);
    m_scene.CreatePuzzle(50, 3);
    EXPECT_EQ(Inside(m_scene).Picture().m_imageInfo.Width, expected) << seed;
    EXPECT_EQ(Inside(m_scene).Board().m_seed, 0);
    widths.insert(Inside(m_scene).Picture().m_imageInfo.Width);
    statesAfter.insert(CrtRandomState());
  }
  EXPECT_EQ(widths.size(), 2u);
  EXPECT_EQ(statesAfter.size(), 1u);  // whatever came before, the board's seed rules
}

// A puzzle memory cannot hold gives way to one of half the columns and
// rows; when not even one piece can be made, every scene runs on without
// pieces.
TEST_F(SceneBase, APuzzleMemoryCannotHoldGivesWayToASmallerOne) {
  AddPicture("a.png", 400, 300);
  long long allocations = 0;
  int columns = 0, rows = 0;
  {
    const ScopedAllocationFailure counting(-1);
    m_scene.CreatePuzzle(200, 3);
    allocations = counting.Count();
    columns = Inside(m_scene).Board().m_columns;
    rows = Inside(m_scene).Board().m_rows;
  }
  ASSERT_GE(allocations, 2);
  {
    const ScopedAllocationFailure failing(allocations - 1);  // the last of the board's buffers
    m_scene.CreatePuzzle(200, 3);
  }
  EXPECT_EQ(Inside(m_scene).Picture().m_imageInfo.Width, 400u);
  EXPECT_EQ(Inside(m_scene).Board().m_columns, columns / 2);
  EXPECT_EQ(Inside(m_scene).Board().m_rows, rows / 2);
  EXPECT_NE(Inside(m_scene).Board().m_meshes.m_vertexBuffer, nullptr);

  CSceneBlackHole blackHole;
  CSceneFallingWall fallingWall;
  CScenePuzzleRain puzzleRain;
  CSceneSolving solving;
  for (CScene* scene : std::initializer_list<CScene*>{&blackHole, &fallingWall, &puzzleRain, &solving}) {
    {
      const ScopedAllocationFailure failing(0, true);
      Start(*scene);
    }
    for (int frame = 0; frame < 200; ++frame) {
      Step(*scene, 0.1);
      Frame(*scene);
    }
    scene->Release();
  }
  m_script.m_unexpectedFailures.clear();  // the device's answers that memory ran out
}

// ---- background sphere --------------------------------------------------------------------
TEST_F(SceneBase, SphereShadesFromTheColourToBlackAndWhitePoles) {
  const D3DCOLORVALUE colour{106 / 255.0f, 82 / 255.0f, 65 / 255.0f, 1};
  CrtSrand(99);
  const float z = RandomRange(0, D3DX_PI), y = RandomRange(0, D3DX_PI), x = RandomRange(0, D3DX_PI);
  CrtSrand(99);
  CScene::CreateBackgroundSphere(Inside(m_scene).Sphere(), 2000, colour);
  CKVR3DObject& sphere = Inside(m_scene).Sphere();
  EXPECT_EQ(sphere.m_vertexCount, 1089);
  EXPECT_EQ(sphere.m_indexCount, 6144);
  EXPECT_EQ(sphere.m_primitiveCount, 2048);
  EXPECT_EQ(sphere.m_rotation, D3DXVECTOR3(x, y, z));
  D3DXMATRIX rz;
  D3DXMatrixRotationZ(&rz, z);
  EXPECT_EQ(sphere.m_rotationZ, rz);
  EXPECT_EQ(sphere.m_position, D3DXVECTOR3(0, 0, 0));
  EXPECT_EQ(sphere.m_scale, D3DXVECTOR3(1, 1, 1));
  EXPECT_EQ(sphere.m_texture, nullptr);

  ASSERT_TRUE(sphere.LockBuffers());
  const VertexPNDT* v = sphere.m_lockedVertices;
  const WORD* index = sphere.m_lockedIndices;
  EXPECT_TRUE(Near(D3DXVECTOR3(v[264].x, v[264].y, v[264].z), D3DXVECTOR3(0, 1414.2136f, 1414.2136f), 0.01f));
  EXPECT_TRUE(Near(D3DXVECTOR3(v[264].nx, v[264].ny, v[264].nz), D3DXVECTOR3(0, -0.70710678f, -0.70710678f)));
  const std::pair<int, DWORD> colours[] = {
      {0, 0xFF000000}, {264, 0xFF1F1813}, {528, 0xFF6A5241}, {792, 0xFFD3CCC7}, {1056, 0xFFFFFFFF}};
  for (const auto& [vertex, argb] : colours) EXPECT_EQ(v[vertex].diffuse, argb) << vertex;
  EXPECT_EQ(std::make_tuple(index[0], index[1], index[2]), std::make_tuple(0, 34, 1));
  EXPECT_EQ(std::make_tuple(index[6141], index[6142], index[6143]),
            std::make_tuple(1054, 1087, 1088));  // the last triangle
  // Every normal points to the centre.
  for (int i = 0; i < sphere.m_vertexCount; ++i) {
    const D3DXVECTOR3 p(v[i].x, v[i].y, v[i].z), n(v[i].nx, v[i].ny, v[i].nz);
    ASSERT_LT(D3DXVec3Dot(&p, &n), -1999.0f) << i;
  }
  sphere.UnlockBuffers();
}

TEST_F(SceneBase, RebuildingTheSphereReleasesItsOldBuffers) {
  const D3DCOLORVALUE colour{0.2f, 0.3f, 0.4f, 1};
  CScene::CreateBackgroundSphere(Inside(m_scene).Sphere(), 2000, colour);
  IDirect3DVertexBuffer9* oldVertices = Inside(m_scene).Sphere().m_vertexBuffer;
  IDirect3DIndexBuffer9* oldIndices = Inside(m_scene).Sphere().m_indexBuffer;
  oldVertices->AddRef();
  oldIndices->AddRef();
  CScene::CreateBackgroundSphere(Inside(m_scene).Sphere(), 2000, colour);
  // Only our own references are left on the old buffers.
  EXPECT_EQ(oldVertices->Release(), 0u);
  EXPECT_EQ(oldIndices->Release(), 0u);
}

// ---- random values, light and clock -------------------------------------------------------------
TEST_F(SceneBase, RandomValuesComeFromTheGeneratorInThousandths) {
  CrtSrand(1234);
  int draws[5];
  for (int& d : draws) d = CrtRand();
  CrtSrand(1234);
  EXPECT_EQ(RandomUnit(), (draws[0] % 1001) / 1000.0);
  EXPECT_EQ(RandomRange(-1.57f, 1.57f), float(-1.57f + (draws[1] % 1001) / 1000.0 * 3.14f));
  const D3DCOLORVALUE c = RandomLightColour();
  EXPECT_EQ(c.r, float((draws[2] / 256) / 255.0));
  EXPECT_EQ(c.g, float((draws[3] / 256) / 255.0));
  EXPECT_EQ(c.b, float((draws[4] / 256) / 255.0));
  EXPECT_EQ(c.a, 1.0f);
  for (int i = 0; i < 2000; ++i) {
    const float r = RandomRange(10000, 11000);
    ASSERT_EQ(r, std::floor(r));
    ASSERT_TRUE(r >= 10000 && r <= 11000);
    const D3DCOLORVALUE k = RandomLightColour();
    ASSERT_LE(LightColourToArgb(k) & 0x00808080u, 0u) << "channels stay at most 127";
  }
  EXPECT_EQ(LightColourToArgb({106 / 255.0f, 82 / 255.0f, 65 / 255.0f, 1}), 0xFF6A5241u);
}

TEST_F(SceneBase, SceneLightIsEngineLightZeroWithSpecular) {
  D3DLIGHT9& light = Inside(m_scene).Light();
  SetSceneLight(light, D3DXVECTOR3(0.25f, 0.25f, -1));
  EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(light.Diffuse, (D3DCOLORVALUE{1, 1, 1, 1}));
  EXPECT_EQ(light.Specular, (D3DCOLORVALUE{1, 1, 1, 1}));
  EXPECT_EQ(light.Ambient, (D3DCOLORVALUE{0, 0, 0, 0}));
  EXPECT_EQ(light.Attenuation0, 1.0f);
  EXPECT_TRUE(Near(light.Direction, D3DXVECTOR3(0.2357f, 0.2357f, -0.9428f), 1e-4f));
  EXPECT_EQ(Inside(g_Engine).Light(0), &light);
  EXPECT_EQ(Inside(g_Engine).LightEnabled(0), 1);
  EXPECT_TRUE(Inside(g_Engine).SpecularEnable());
  EXPECT_EQ(RenderState(D3DRS_SPECULARENABLE), 1u);
  D3DLIGHT9 onDevice;
  g_Engine.Device()->GetLight(0, &onDevice);
  EXPECT_EQ(onDevice, light);
  // A device reset puts it back.
  D3DLIGHT9 cleared{};
  cleared.Type = D3DLIGHT_DIRECTIONAL;
  cleared.Direction = D3DVECTOR{0, 0, 1};
  g_Engine.Device()->SetLight(0, &cleared);
  ASSERT_EQ(Inside(g_Engine).ResetDevice(), D3D_OK);
  g_Engine.Device()->GetLight(0, &onDevice);
  EXPECT_EQ(onDevice, light);
  // A scene that goes away takes its light out of the engine with it.
  {
    BareScene gone;
    SetSceneLight(Inside(gone).Light(), D3DXVECTOR3(0, 0, -1));
    EXPECT_EQ(Inside(g_Engine).Light(0), &Inside(gone).Light());
  }
  EXPECT_EQ(Inside(g_Engine).Light(0), nullptr);
}

TEST_F(SceneBase, ClockGivesSecondsSinceInitAndTheStep) {
  // Start just before the 32-bit millisecond counter would wrap (49.7 days):
  // the clock goes on across it.
  m_clock.Set(4294967.0);
  m_scene.Init();
  m_clock.Advance(5.0);  // building time does not count: Init started the clock last
  m_scene.Init();
  float t = -1, dt = -1;
  m_clock.Advance(0.25);
  m_scene.ReadClock(&t, &dt);
  EXPECT_EQ(std::make_pair(t, dt), std::make_pair(0.25f, 0.25f));
  m_scene.ReadClock(&t, &dt);
  EXPECT_EQ(std::make_pair(t, dt), std::make_pair(0.25f, 0.0f));
  m_clock.Advance(0.5);  // past 4294967.296 s
  m_scene.ReadClock(&t, &dt);
  EXPECT_EQ(std::make_pair(t, dt), std::make_pair(0.75f, 0.5f));
}
