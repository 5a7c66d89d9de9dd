// Pixel tests of the GL device: what the fixed-function state draws, read
// back from the back buffer. Each test draws into a small offscreen device.
#include <gtest/gtest.h>

#include <cstring>

#include "gl_test_support.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/d3d9/gl/gl_pipeline.h"
#include "testkit.h"

using namespace gltest;

namespace {

constexpr int kSize = 64;

class GLDevice_X11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_gl.device()) GTEST_SKIP() << "no OpenGL 3.3 context";
    m_device = m_gl.device();
    m_gl.SetCamera();
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);  // every draw of a test is inside a scene
  }
  void TearDown() override {
    if (m_device) m_device->EndScene();
  }
  QRgb At(int x, int y) const { return m_gl.Read().pixel(x, y); }
  void Unlit() const { m_device->SetRenderState(D3DRS_LIGHTING, 0); }
  // A white material, a directional light shining along direction, some
  // global ambient.
  void Light(D3DXVECTOR3 direction, D3DCOLORVALUE diffuse = {0.75f, 0.75f, 0.75f, 1},
             D3DCOLORVALUE specular = {0, 0, 0, 0}) const {
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = diffuse;
    light.Specular = specular;
    light.Direction = direction;
    m_device->SetLight(0, &light);
    m_device->LightEnable(0, 1);
    m_device->SetRenderState(D3DRS_AMBIENT, 0xFF202020);
    D3DMATERIAL9 material;
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    m_device->SetMaterial(&material);
  }

  OffscreenDevice m_gl{kSize, kSize};
  IDirect3DDevice9* m_device = nullptr;
};

TEST_F(GLDevice_X11, ClearFillsTheBackBufferOpaqueAndResetResizesIt) {
  m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF8000, 1.0f, 0);
  const QImage image = m_gl.Read();
  ASSERT_EQ(image.size(), QSize(kSize, kSize));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 128, 0));
  EXPECT_EQ(image.pixel(kSize - 1, kSize - 1), qRgb(255, 128, 0));

  D3DPRESENT_PARAMETERS params;
  params.BackBufferWidth = 40;
  params.BackBufferHeight = 30;
  params.EnableAutoDepthStencil = 1;
  params.AutoDepthStencilFormat = D3DFMT_D24S8;
  ASSERT_EQ(m_device->Reset(&params), D3D_OK);
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DSURFACE_DESC desc;
  back->GetDesc(&desc);
  back->Release();
  EXPECT_EQ(desc.Width, 40u);
  EXPECT_EQ(desc.Height, 30u);
  D3DVIEWPORT9 viewport;
  m_device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 40u);
  m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  EXPECT_EQ(m_gl.Read().size(), QSize(40, 30));
  EXPECT_EQ(m_gl.Read().pixel(39, 29), qRgb(0, 0, 255));
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(GLDevice_X11, FailedResetWaitsForAnotherResetAndKeepsTheOldBackBuffer) {
  D3DPRESENT_PARAMETERS params;
  params.BackBufferWidth = params.BackBufferHeight = 1u << 20;  // beyond any GL limit
  params.EnableAutoDepthStencil = 1;
  params.AutoDepthStencilFormat = D3DFMT_D24S8;
  EXPECT_NE(m_device->Reset(&params), D3D_OK);
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(m_gl.Read().size(), QSize(kSize, kSize));
  params.BackBufferWidth = params.BackBufferHeight = 16;
  ASSERT_EQ(m_device->Reset(&params), D3D_OK);
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(m_gl.Read().size(), QSize(16, 16));
}

TEST_F(GLDevice_X11, LitTexturedQuadIsBrighterFacingTheLight) {
  IDirect3DTexture9* texture = SolidTexture(m_device, 8, 0xFF80C0FF);
  m_device->SetTexture(0, texture);
  m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  Mesh square(m_device, FacingSquare(6, 0), kSquareIndices);
  struct Case {
    D3DXVECTOR3 direction;
    float scale;        // of the world matrix
    float lightFactor;  // ambient 0x20 plus 0.75 x cos(angle) x normal length
  } cases[] = {
      {{0, 0, 1}, 1, 32 / 255.0f + 0.75f},              // straight onto the face
      {{0, 0.7071f, 0.7071f}, 1, 32 / 255.0f + 0.53f},  // at 45 degrees
      {{0, 0, -1}, 1, 32 / 255.0f},                     // from behind: ambient only
      // Normals go through the inverse transpose of the world matrix and are
      // not renormalised: scaled up twice, they are half as long.
      {{0, 0, 1}, 2, 32 / 255.0f + 0.375f},
  };
  for (const Case& c : cases) {
    Light(c.direction);
    D3DXMATRIX world;
    D3DXMatrixScaling(&world, c.scale, c.scale, c.scale);
    m_device->SetTransform(D3DTS_WORLD, &world);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    square.Draw(m_device);
    const QRgb p = At(kSize / 2, kSize / 2);
    EXPECT_NEAR(qRed(p), 0x80 * c.lightFactor, 3) << c.direction.y << " scale " << c.scale;
    EXPECT_NEAR(qBlue(p), 0xFF * c.lightFactor, 3) << c.direction.y << " scale " << c.scale;
  }
  m_device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(GLDevice_X11, SpecularShowsOnlyWhenEnabled) {
  // Light from the camera's side: the half vector is the normal at the centre.
  Light({0, 0, 1}, {0.25f, 0.25f, 0.25f, 1}, {1, 1, 1, 1});
  D3DMATERIAL9 material;
  material.Diffuse = material.Ambient = {1, 1, 1, 1};
  material.Specular = {1, 1, 1, 1};
  material.Power = 135;
  m_device->SetMaterial(&material);
  m_device->SetRenderState(D3DRS_AMBIENT, 0);
  // Specular light is worked out per vertex, so the square needs inner ones.
  const MeshData grid = FacingGrid(6, 0, 16);
  Mesh square(m_device, grid.vertices, grid.indices);
  square.Draw(m_device);
  const QRgb without = At(kSize / 2, kSize / 2);
  EXPECT_NEAR(qGreen(without), 64, 3);
  m_device->SetRenderState(D3DRS_SPECULARENABLE, 1);
  square.Draw(m_device);
  const QRgb centre = At(kSize / 2, kSize / 2);
  EXPECT_GT(qGreen(centre), 240);
  // Power 135 keeps the highlight tight: the square's edge is barely lit by it.
  EXPECT_LT(qGreen(At(kSize / 2 + 21, kSize / 2)), qGreen(centre) - 100);
}

TEST_F(GLDevice_X11, LinearFogRampsWithDistanceAndRangeFogWithTheRay) {
  Unlit();
  m_device->SetRenderState(D3DRS_FOGENABLE, 1);
  m_device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  m_device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
  m_device->SetRenderState(D3DRS_FOGSTART, FloatToDWORD(0));
  m_device->SetRenderState(D3DRS_FOGEND, FloatToDWORD(40));
  // Squares at view depths 10, 20 and 30 (the eye is at z = -10): 3/4, 1/2
  // and 1/4 of the white is left.
  for (float z : {0.0f, 10.0f, 20.0f}) {
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    Mesh square(m_device, FacingSquare(4, z), kSquareIndices);
    square.Draw(m_device);
    EXPECT_NEAR(qRed(At(kSize / 2, kSize / 2)), 255 * (40 - (z + 10)) / 40, 3) << "depth " << z + 10;
  }
  // A wide square at depth 20: without range fog its corners fog like its
  // centre; with it they are further along the ray and darker. Fog is
  // worked out per vertex, hence the grid.
  const MeshData grid = FacingGrid(40, 10, 20);
  Mesh wide(m_device, grid.vertices, grid.indices);
  m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  wide.Draw(m_device);
  EXPECT_NEAR(qRed(At(2, 2)), qRed(At(kSize / 2, kSize / 2)), 2);
  m_device->SetRenderState(D3DRS_RANGEFOGENABLE, 1);
  wide.Draw(m_device);
  EXPECT_NEAR(qRed(At(kSize / 2, kSize / 2)), 127, 3);
  EXPECT_LT(qRed(At(2, 2)), qRed(At(kSize / 2, kSize / 2)) - 10);
}

TEST_F(GLDevice_X11, CullingRemovesCounterClockwiseTrianglesByDefault) {
  Unlit();
  const std::vector<VertexPNDT> square = FacingSquare(6, 0);
  Mesh clockwise(m_device, square, {0, 1, 2});
  Mesh counterClockwise(m_device, square, {0, 2, 1});
  struct Case {
    const Mesh* mesh;
    DWORD cull;
    bool drawn;
  } cases[] = {{&clockwise, D3DCULL_CCW, true},
               {&counterClockwise, D3DCULL_CCW, false},
               {&clockwise, D3DCULL_CW, false},
               {&counterClockwise, D3DCULL_CW, true},
               {&counterClockwise, D3DCULL_NONE, true}};
  for (const Case& c : cases) {
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    m_device->SetRenderState(D3DRS_CULLMODE, c.cull);
    c.mesh->Draw(m_device);
    EXPECT_EQ(At(kSize / 2 - 4, kSize / 2 - 4) == qRgb(255, 255, 255), c.drawn)
        << "cull " << c.cull << (c.mesh == &clockwise ? " clockwise" : " counter-clockwise");
  }
}

TEST_F(GLDevice_X11, ChangedBufferRangesShowAtTheNextDraw) {
  Unlit();
  Mesh square(m_device, FacingSquare(6, 0, 0xFFFF0000), kSquareIndices);
  square.Draw(m_device);
  EXPECT_EQ(At(kSize / 2, kSize / 2), qRgb(255, 0, 0));
  // Recolour only the last two vertices through a range lock.
  void* data = nullptr;
  ASSERT_EQ(square.vertices()->Lock(2 * sizeof(VertexPNDT), 2 * sizeof(VertexPNDT), &data, 0), D3D_OK);
  auto* v = static_cast<VertexPNDT*>(data);
  v[0].diffuse = v[1].diffuse = 0xFF00FF00;
  square.vertices()->Unlock();
  square.Draw(m_device);
  const QRgb bottom = At(kSize / 2, kSize / 2 + 8);
  EXPECT_GT(qGreen(bottom), qRed(bottom));
  EXPECT_GT(qRed(At(kSize / 2, kSize / 2 - 8)), qGreen(At(kSize / 2, kSize / 2 - 8)));
}

// Large static buffers give their copies to the driver: a vertex buffer
// after the draw that uploads it, an index buffer at a draw of a later frame
// (the draw checks have its ranges by then). A lock brings the same bytes
// back, a change shows, and a buffer that was locked keeps its copy.
TEST_F(GLDevice_X11, LargeStaticBuffersLockWithTheirContentsAfterUpload) {
  Unlit();
  const MeshData grid = FacingGrid(6, 0, 80, 0xFFFF0000);  // 236 KB of vertices, 77 KB of indices
  Mesh square(m_device, grid.vertices, grid.indices);
  auto& vertices = dynamic_cast<MemoryVertexBuffer*>(square.vertices())->Store();
  auto& indices = dynamic_cast<MemoryIndexBuffer*>(square.indices())->Store();
  square.Draw(m_device);
  EXPECT_EQ(At(kSize / 2, kSize / 2), qRgb(255, 0, 0));
  EXPECT_FALSE(vertices.HasCopy());
  EXPECT_TRUE(indices.HasCopy());
  m_device->EndScene();
  m_device->Present(nullptr, nullptr, nullptr, nullptr);
  m_device->BeginScene();
  square.Draw(m_device);
  EXPECT_FALSE(indices.HasCopy());
  square.Draw(m_device);  // the checks need no copy for the ranges they know
  EXPECT_FALSE(indices.HasCopy());

  void* data = nullptr;
  ASSERT_EQ(square.indices()->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(std::memcmp(data, grid.indices.data(), grid.indices.size() * sizeof(WORD)), 0);
  square.indices()->Unlock();
  ASSERT_EQ(square.vertices()->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(std::memcmp(data, grid.vertices.data(), grid.vertices.size() * sizeof(VertexPNDT)), 0);
  square.vertices()->Unlock();
  ASSERT_EQ(square.vertices()->Lock(0, 0, &data, 0), D3D_OK);
  for (size_t i = 0; i < grid.vertices.size(); ++i) static_cast<VertexPNDT*>(data)[i].diffuse = 0xFF00FF00;
  square.vertices()->Unlock();
  square.Draw(m_device);
  EXPECT_EQ(At(kSize / 2, kSize / 2), qRgb(0, 255, 0));
  EXPECT_TRUE(vertices.HasCopy() && indices.HasCopy());
}

TEST_F(GLDevice_X11, BlendingNeverLeavesAlphaInTheBackBuffer) {
  Unlit();
  // A draw whose colour has alpha 0, then one blended by the destination's
  // alpha: an X8R8G8B8 back buffer reads alpha as opaque, so it shows fully.
  Mesh clearAlpha(m_device, FacingSquare(6, 0, 0x00FFFFFF), kSquareIndices);
  clearAlpha.Draw(m_device);
  m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
  m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
  Mesh red(m_device, FacingSquare(6, 0, 0xFFFF0000), kSquareIndices);
  m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  red.Draw(m_device);
  EXPECT_EQ(At(kSize / 2, kSize / 2), qRgb(255, 0, 0));
}

TEST_F(GLDevice_X11, TexturesSampleAtEveryMipFilterWithOrWithoutGeneratedLevels) {
  Unlit();
  Mesh square(m_device, FacingSquare(1, 0), kSquareIndices);  // a few pixels: minified
  for (DWORD usage : {DWORD(0), D3DUSAGE_AUTOGENMIPMAP})
    for (DWORD mip : {D3DTEXF_NONE, D3DTEXF_POINT, D3DTEXF_LINEAR}) {
      IDirect3DTexture9* texture = nullptr;
      ASSERT_EQ(
          m_device->CreateTexture(64, 64, 1, usage, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED, &texture, nullptr),
          D3D_OK);
      D3DLOCKED_RECT locked;
      texture->LockRect(0, &locked, nullptr, 0);
      for (int i = 0; i < 64 * 64; ++i) static_cast<DWORD*>(locked.pBits)[i] = 0xFF2080F0;  // A B G R
      texture->UnlockRect(0);
      m_device->SetTexture(0, texture);
      m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
      m_device->SetSamplerState(0, D3DSAMP_MIPFILTER, mip);
      m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
      square.Draw(m_device);
      EXPECT_LE(ColorDistance(At(kSize / 2, kSize / 2), qRgb(0xF0, 0x80, 0x20)), 2)
          << "usage " << usage << " mip filter " << mip;
      m_device->SetTexture(0, nullptr);
      texture->Release();
    }
}

TEST_F(GLDevice_X11, StagePresetsTakeAlphaFromTheTextureOrTheVertex) {
  Unlit();
  IDirect3DTexture9* halfWhite = SolidTexture(m_device, 4, 0x80FFFFFF);
  m_device->SetTexture(0, halfWhite);
  m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  struct Case {
    DWORD alphaOp;
    int grey;  // over black
  } cases[] = {{D3DTOP_SELECTARG1, 128}, {D3DTOP_DISABLE, 255}};
  Mesh square(m_device, FacingSquare(6, 0), kSquareIndices);
  for (const Case& c : cases) {
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    square.Draw(m_device);
    EXPECT_NEAR(qGreen(At(kSize / 2, kSize / 2)), c.grey, 2) << "alpha op " << c.alphaOp;
  }
  m_device->SetTexture(0, nullptr);
  halfWhite->Release();
}

// ---- sprites and text ----------------------------------------------------------------
TEST_F(GLDevice_X11, SpriteBlendsOverAMeshAndRestoresTheState) {
  Unlit();
  Mesh red(m_device, FacingSquare(20, 0, 0xFFFF0000), kSquareIndices);
  red.Draw(m_device);
  IDirect3DTexture9* white = SolidTexture(m_device, 4, 0xFFFFFFFF);
  ID3DXSprite* sprite = nullptr;
  ASSERT_EQ(D3DXCreateSprite(m_device, &sprite), D3D_OK);
  ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
  const D3DXVECTOR3 at(0, 0, 0);
  D3DXMATRIX scale;
  D3DXMatrixScaling(&scale, 16, 16, 1);
  sprite->SetTransform(&scale);
  EXPECT_EQ(sprite->Draw(white, nullptr, nullptr, &at, 0x800000FF), D3D_OK);
  EXPECT_EQ(sprite->End(), D3D_OK);
  const QRgb p = At(kSize / 2, kSize / 2);
  EXPECT_NEAR(qRed(p), 127, 2);
  EXPECT_EQ(qGreen(p), 0);
  EXPECT_NEAR(qBlue(p), 128, 2);
  DWORD lighting = 1, blend = 1, z = 0;
  m_device->GetRenderState(D3DRS_LIGHTING, &lighting);
  m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
  m_device->GetRenderState(D3DRS_ZENABLE, &z);
  EXPECT_EQ(lighting, 0u);
  EXPECT_EQ(blend, 0u);
  EXPECT_EQ(z, D3DZB_TRUE);
  sprite->Release();
  white->Release();
}

TEST_F(GLDevice_X11, SpriteCoversExactlyItsDestinationPixels) {
  IDirect3DTexture9* white = SolidTexture(m_device, 64, 0xFFFFFFFF);
  ID3DXSprite* sprite = nullptr;
  ASSERT_EQ(D3DXCreateSprite(m_device, &sprite), D3D_OK);
  // A 64 x 64 texture into (10, 20)-(42, 36): scale (0.5, 0.25), then move.
  D3DXMATRIX scale, move, transform;
  D3DXMatrixScaling(&scale, 0.5f, 0.25f, 1);
  D3DXMatrixTranslation(&move, 10, 20, 0);
  transform = scale * move;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(&transform);
  sprite->Draw(white, nullptr, nullptr, nullptr, 0xFFFFFFFF);
  sprite->End();
  const QImage image = m_gl.Read();
  int covered = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const bool inside = x >= 10 && x < 42 && y >= 20 && y < 36;
      const bool white = image.pixel(x, y) == qRgb(255, 255, 255);
      const bool black = image.pixel(x, y) == qRgb(0, 0, 0);
      EXPECT_TRUE(inside ? white : black) << x << "," << y;
      covered += white;
    }
  EXPECT_EQ(covered, 32 * 16);
  sprite->Release();
  white->Release();
}

TEST_F(GLDevice_X11, ShadowedTextIsDrawnWhereAskedAndMeasuredByLines) {
  m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF808080, 1.0f, 0);
  ID3DXFont* font = nullptr;
  ASSERT_EQ(D3DXCreateFontA(m_device, 16, 0, FW_BOLD, 1, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Verdana", &font),
            D3D_OK);
  RECT measure{10, 12, 10, 12};
  EXPECT_EQ(font->DrawTextA(nullptr, "Ab\nAbc", -1, &measure, DT_CALCRECT, 0xFFFFFFFF), 32);
  EXPECT_EQ(measure.bottom, 12 + 32);
  RECT one{0, 0, 0, 0};
  font->DrawTextA(nullptr, "Abc", -1, &one, DT_CALCRECT, 0xFFFFFFFF);
  EXPECT_EQ(measure.right - measure.left, RectWidth(one));  // the widest line
  // UTF-8: an accented letter is one letter as wide as the plain one.
  RECT plain{0, 0, 0, 0}, accented{0, 0, 0, 0};
  font->DrawTextA(nullptr, "e", -1, &plain, DT_CALCRECT, 0);
  font->DrawTextA(nullptr, "\xC3\xA9", -1, &accented, DT_CALCRECT, 0);
  EXPECT_EQ(RectWidth(accented), RectWidth(plain));

  const int x = 12, y = 20;
  const D3DCOLOR shadow = 0xFF000000, text = 0xFFFFFFFF;
  for (auto [dx, dy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
    RECT r{x + dx, y + dy, 0, 0};
    font->DrawTextA(nullptr, "Abc", -1, &r, DT_NOCLIP, shadow);
  }
  RECT r{x, y, 0, 0};
  EXPECT_EQ(font->DrawTextA(nullptr, "Abc", -1, &r, DT_NOCLIP, text), 16);
  const QImage image = m_gl.Read();
  int white = 0, black = 0;
  for (int py = 0; py < kSize; ++py)
    for (int px = 0; px < kSize; ++px) {
      const QRgb p = image.pixel(px, py);
      const bool inBox = px >= x - 1 && px <= x + RectWidth(one) + 4 && py >= y - 1 && py <= y + 17;
      if (qGreen(p) > 215) {
        ++white;
        EXPECT_TRUE(inBox) << px << "," << py;
      }
      if (qGreen(p) < 40) {
        ++black;
        EXPECT_TRUE(inBox) << px << "," << py;
      }
    }
  EXPECT_GT(white, 20);
  EXPECT_GT(black, 20);
  font->Release();
}

// ---- enumeration -----------------------------------------------------------------------
TEST_F(GLDevice_X11, EnumerationAnswersFromTheContext) {
  IDirect3D9* d3d = m_gl.d3d();
  D3DADAPTER_IDENTIFIER9 id;
  ASSERT_EQ(d3d->GetAdapterIdentifier(0, 0, &id), D3D_OK);
  EXPECT_GT(std::strlen(id.Description), 0u);
  EXPECT_GT(std::strlen(id.Driver), 0u);
  EXPECT_EQ(id.VendorId, 0u);
  D3DDISPLAYMODE mode;
  ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &mode), D3D_OK);
  EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
  EXPECT_GT(mode.Width, 0u);
  D3DCAPS9 caps;
  ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_NE(caps.VertexProcessingCaps, 0u);
  for (D3DFORMAT depth : {D3DFMT_D24S8, D3DFMT_D16})
    EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, mode.Format, mode.Format, depth), D3D_OK);
  for (D3DFORMAT depth : {D3DFMT_D24X4S4, D3DFMT_D15S1})
    EXPECT_NE(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     depth),
              D3D_OK);
  EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, mode.Format, 1, 0, nullptr), D3D_OK);
  // Some count above 1 fails: the driver's limit ends the list.
  int highest = 0;
  for (DWORD type = 2; type <= 16; ++type)
    if (d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, mode.Format, 1, type, nullptr) == D3D_OK)
      highest = int(type);
  OffscreenDevice multisampled(32, 32, D3DMULTISAMPLE_TYPE(highest));
  if (highest >= 2) {
    ASSERT_NE(multisampled.device(), nullptr);
    multisampled.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1, 0);
    EXPECT_EQ(multisampled.Read().pixel(5, 5), qRgb(0, 255, 0));
  }
}

// A software rasterizer offers no samples unless the environment asks for
// them; other renderers offer what the driver has.
TEST(GLEnumeration_X11, SoftwareRenderersOfferSamplesOnlyWhenAsked) {
  auto fourSamples = []() -> std::pair<bool, HRESULT> {
    IDirect3D9* d3d = Direct3DCreate9GL();
    if (!d3d) return {false, D3DERR_NOTAVAILABLE};
    D3DADAPTER_IDENTIFIER9 id;
    d3d->GetAdapterIdentifier(0, 0, &id);
    const std::string renderer = id.Description;
    const bool software = renderer.find("llvmpipe") != std::string::npos ||
                          renderer.find("softpipe") != std::string::npos ||
                          renderer.find("swrast") != std::string::npos;
    const HRESULT hr = d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 1,
                                                       D3DMULTISAMPLE_4_SAMPLES, nullptr);
    d3d->Release();
    return {software, hr};
  };
  const testkit::ScopedEnv unset("RAVELLE_GL_MULTISAMPLE", "0");
  const auto [software, plain] = fourSamples();
  if (!software) GTEST_SKIP() << "not a software renderer";
  EXPECT_EQ(plain, D3DERR_NOTAVAILABLE);
  const testkit::ScopedEnv forced("RAVELLE_GL_MULTISAMPLE", "1");
  EXPECT_EQ(fourSamples().second, D3D_OK);
}

// A clear sets GL state of its own (the scissor of its viewport); the next
// draw puts the recorded state back rather than drawing clipped.
TEST(GLDeviceApply_X11, AViewportClearLeavesTheNextDrawUnclipped) {
  OffscreenDevice gl(kSize, kSize);
  if (!gl.device()) GTEST_SKIP() << "no OpenGL 3.3 context";
  IDirect3DDevice9* device = gl.device();
  gl.SetCamera();
  device->SetRenderState(D3DRS_LIGHTING, 0);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  Mesh before(device, FacingSquare(20, 0, 0xFF0000FF), kSquareIndices);  // beyond every edge
  Mesh cover(device, FacingSquare(20, 0, 0xFF00FF00), kSquareIndices);
  const D3DVIEWPORT9 corner{0, 0, 8, 8, 0, 1}, whole{0, 0, kSize, kSize, 0, 1};
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  before.Draw(device);
  device->SetViewport(&corner);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  device->SetViewport(&whole);
  cover.Draw(device);
  device->EndScene();
  const QImage image = gl.Read();
  for (const QPoint at : {QPoint(2, 2), QPoint(kSize - 2, kSize - 2), QPoint(kSize / 2, 3)})
    EXPECT_EQ(image.pixel(at), qRgb(0, 255, 0)) << at.x() << "," << at.y();
}

// ---- specialised programs --------------------------------------------------------------
// Each state the programs are specialised to draws, pixel for pixel, what the
// generic program draws: lit grids tilted against the light (per-vertex
// lighting and fog vary over them) with vertex colours and alpha, over a
// texture that varies in colour and alpha.
namespace presets {

IDirect3DTexture9* GradientTexture(IDirect3DDevice9* device) {
  IDirect3DTexture9* texture = nullptr;
  device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
  D3DLOCKED_RECT locked;
  texture->LockRect(0, &locked, nullptr, 0);
  for (DWORD y = 0; y < 16; ++y)
    for (DWORD x = 0; x < 16; ++x)
      static_cast<DWORD*>(locked.pBits)[y * 16 + x] =
          (x * 16 + 8) << 24 | (x * 16) << 16 | (y * 16) << 8 | ((x + y) * 8);
  texture->UnlockRect(0);
  return texture;
}

void Lights(IDirect3DDevice9* device, int count, bool specular, D3DCOLOR ambient = 0xFF303030) {
  const D3DVECTOR directions[] = {{0.3f, -0.4f, 0.8f}, {-0.6f, 0.2f, 0.7f}, {0, 0, 1}};
  for (int i = 0; i < count; ++i) {
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.7f - 0.2f * i, 0.6f, 0.5f + 0.1f * i, 1};
    light.Specular = {0.9f, 0.8f, 0.7f, 1};
    light.Ambient = {0.05f * i, 0.1f, 0.05f, 1};
    light.Direction = directions[i];
    device->SetLight(DWORD(i), &light);
    device->LightEnable(DWORD(i), 1);
  }
  D3DMATERIAL9 material;
  material.Diffuse = {0.9f, 0.8f, 1, 0.7f};
  material.Ambient = {1, 0.9f, 0.8f, 1};
  material.Specular = {1, 1, 1, 1};
  material.Emissive = {0.05f, 0, 0.1f, 1};
  material.Power = 35;
  device->SetMaterial(&material);
  device->SetRenderState(D3DRS_AMBIENT, ambient);
  device->SetRenderState(D3DRS_SPECULARENABLE, specular ? 1 : 0);
}

// Grey lights on the board's shiny material: light that a program may carry
// in one channel.
void GreyLights(IDirect3DDevice9* device, int count) {
  const D3DVECTOR directions[] = {{0.3f, -0.4f, 0.85f}, {-0.6f, 0.2f, 0.7f}};
  for (int i = 0; i < count; ++i) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.75f, 0.75f, 0.75f, 1};
    light.Specular = {0.5f, 0.5f, 0.5f, 1};
    light.Ambient = {0.1f * i, 0.1f * i, 0.1f * i, 1};
    light.Direction = directions[i];
    device->SetLight(DWORD(i), &light);
    device->LightEnable(DWORD(i), 1);
  }
  D3DMATERIAL9 material{};
  material.Diffuse = {1, 1, 1, 0.6f};
  material.Ambient = {0.7f, 0.7f, 0.7f, 1};
  material.Specular = {0.8f, 0.8f, 0.8f, 1};
  material.Power = 135;
  device->SetMaterial(&material);
  device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
  device->SetRenderState(D3DRS_SPECULARENABLE, 1);
}

void Stage(IDirect3DDevice9* device, DWORD colorOp, DWORD colorArg1, DWORD colorArg2, DWORD alphaOp,
           DWORD alphaArg1, DWORD alphaArg2) {
  const DWORD values[][2] = {{D3DTSS_COLOROP, colorOp},     {D3DTSS_COLORARG1, colorArg1},
                             {D3DTSS_COLORARG2, colorArg2}, {D3DTSS_ALPHAOP, alphaOp},
                             {D3DTSS_ALPHAARG1, alphaArg1}, {D3DTSS_ALPHAARG2, alphaArg2}};
  for (const auto& [type, value] : values)
    device->SetTextureStageState(0, D3DTEXTURESTAGESTATETYPE(type), value);
}

void Fog(IDirect3DDevice9* device, DWORD vertexMode, DWORD tableMode, bool range) {
  device->SetRenderState(D3DRS_FOGENABLE, 1);
  device->SetRenderState(D3DRS_FOGVERTEXMODE, vertexMode);
  device->SetRenderState(D3DRS_FOGTABLEMODE, tableMode);
  device->SetRenderState(D3DRS_RANGEFOGENABLE, range ? 1 : 0);
  device->SetRenderState(D3DRS_FOGCOLOR, 0xFF405060);
  device->SetRenderState(D3DRS_FOGSTART, FloatToDWORD(5));
  device->SetRenderState(D3DRS_FOGEND, FloatToDWORD(18));
  device->SetRenderState(D3DRS_FOGDENSITY, FloatToDWORD(0.07f));
}

void Blend(IDirect3DDevice9* device) {
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

struct Preset {
  const char* name;
  bool textured;
  void (*set)(IDirect3DDevice9*);
};

const Preset kPresets[] = {
    {"shiny picture (modulate, one light, specular)", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 1, true);
       Stage(d, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     }},
    {"grey light, shiny picture (as a board)", true,
     [](IDirect3DDevice9* d) {
       GreyLights(d, 1);
       Stage(d, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     }},
    {"two grey lights, specular and diffuse alpha as arguments, fog", true,
     [](IDirect3DDevice9* d) {
       GreyLights(d, 2);
       Stage(d, D3DTOP_ADDSIGNED, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, D3DTA_SPECULAR | D3DTA_COMPLEMENT,
             D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TEXTURE);
       Fog(d, D3DFOG_LINEAR, D3DFOG_NONE, false);
       Blend(d);
     }},
    {"matte walls (modulate, one light)", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 1, false);
       Stage(d, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     }},
    {"matte walls with specular enabled (black, power 0)", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 2, true);
       D3DMATERIAL9 matte{};
       matte.Diffuse = {1, 1, 1, 1};
       matte.Ambient = {0.7f, 0.7f, 0.7f, 1};
       d->SetMaterial(&matte);
       Stage(d, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     }},
    {"three lights, colours from the vertex", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 3, true);
       d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
       d->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_COLOR1);
       d->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_COLOR1);
       Stage(d, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
       Blend(d);
     }},
    {"unlit, alpha from the texture, alpha test", true,
     [](IDirect3DDevice9* d) {
       d->SetRenderState(D3DRS_LIGHTING, 0);
       Stage(d, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_TEXTURE,
             D3DTA_DIFFUSE);
       d->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
       d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
       d->SetRenderState(D3DRS_ALPHAREF, 0x60);
       Blend(d);
     }},
    {"linear range fog", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 1, true);
       Stage(d, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
       Fog(d, D3DFOG_LINEAR, D3DFOG_NONE, true);
     }},
    {"exp vertex fog, unlit", true,
     [](IDirect3DDevice9* d) {
       d->SetRenderState(D3DRS_LIGHTING, 0);
       Stage(d, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2, D3DTA_TEXTURE,
             D3DTA_DIFFUSE);
       Fog(d, D3DFOG_EXP, D3DFOG_NONE, false);
     }},
    {"exp2 table fog", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 2, false);
       Stage(d, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE);
       Fog(d, D3DFOG_NONE, D3DFOG_EXP2, true);
     }},
    {"no texture, diffuse selected", false,
     [](IDirect3DDevice9* d) {
       Lights(d, 2, true);
       Stage(d, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE,
             D3DTA_TEXTURE);
     }},
    {"texture factor complemented, signed add", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 1, false);
       d->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80C04020);
       Stage(d, D3DTOP_ADDSIGNED, D3DTA_TFACTOR | D3DTA_COMPLEMENT, D3DTA_TEXTURE, D3DTOP_SUBTRACT,
             D3DTA_TEXTURE, D3DTA_TFACTOR);
       Blend(d);
     }},
    {"alpha replicated, specular argument", true,
     [](IDirect3DDevice9* d) {
       Lights(d, 1, true);
       Stage(d, D3DTOP_SUBTRACT, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_SPECULAR, D3DTOP_MODULATE,
             D3DTA_CURRENT, D3DTA_TEXTURE);
       d->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
       d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESSEQUAL);
       d->SetRenderState(D3DRS_ALPHAREF, 0xA0);
     }},
};

// The preset drawn on a fresh device by the specialised or the generic
// program; the grid is tilted so that normals and depths vary.
QImage Draw(const Preset& preset, bool generic) {
  OffscreenDevice gl(96, 96);
  IDirect3DDevice9* device = gl.device();
  if (!device) return {};
  gl.SetCamera();
  EXPECT_TRUE(GLUseGenericProgram(device, generic));
  MeshData grid = FacingGrid(7, 2, 12);
  for (size_t i = 0; i < grid.vertices.size(); ++i)
    grid.vertices[i].diffuse = 0x40FFFFFFu + DWORD(i * 0x01030507u % 0xBF000000u);
  Mesh mesh(device, grid.vertices, grid.indices);
  IDirect3DTexture9* texture = preset.textured ? GradientTexture(device) : nullptr;
  device->SetTexture(0, texture);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  preset.set(device);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
  device->BeginScene();
  for (float angle : {0.6f, -0.9f}) {
    D3DXMATRIX world;
    const D3DXVECTOR3 axis(0.4f, 1, 0.2f * angle);
    D3DXMatrixRotationAxis(&world, &axis, angle);
    device->SetTransform(D3DTS_WORLD, &world);
    mesh.Draw(device);
  }
  device->EndScene();
  device->SetTexture(0, nullptr);
  if (texture) texture->Release();
  return gl.Read();
}

}  // namespace presets

// States that draw alike share a program; a switch that shows does not.
TEST(GLProgramKey, SwitchesThatCannotShowShareAProgram) {
  GLPipelineState shiny;
  shiny.lightCount = 1;
  shiny.lights[0].specular = {1, 1, 1, 1};
  shiny.matSpecular = {0.8f, 0.8f, 0.8f, 1};
  shiny.matPower = 135;
  shiny.specularEnable = true;
  shiny.diffuseSource = kSourceMaterial;
  GLPipelineState matte = shiny;
  matte.matSpecular = {0, 0, 0, 0};
  matte.matPower = 0;
  const auto key = [](GLPipelineState s, auto change) {
    change(s);
    return GLProgramKey(s);
  };
  const auto same = [](GLPipelineState&) {};
  // Black specular with power 0 adds nothing; with another power or colour
  // source it may.
  EXPECT_EQ(key(matte, same), key(matte, [](GLPipelineState& s) { s.specularEnable = false; }));
  EXPECT_NE(key(matte, [](GLPipelineState& s) { s.matPower = 2; }),
            key(matte, [](GLPipelineState& s) { s.specularEnable = false; }));
  EXPECT_NE(key(matte, [](GLPipelineState& s) { s.specularSource = kSourceVertexDiffuse; }),
            key(matte, [](GLPipelineState& s) { s.specularEnable = false; }));
  EXPECT_NE(key(shiny, same), key(shiny, [](GLPipelineState& s) { s.specularEnable = false; }));
  // Grey light may take one channel; a tinted light or material may not.
  EXPECT_NE(key(shiny, same), key(shiny, [](GLPipelineState& s) { s.lights[0].specular[2] = 0.5f; }));
  EXPECT_NE(key(shiny, same), key(shiny, [](GLPipelineState& s) { s.matAmbient[1] = 0.5f; }));
  // Without lighting, lights and sources do not matter; the texture does.
  const auto unlit = [](GLPipelineState& s) { s.lighting = false; };
  EXPECT_EQ(key(shiny, unlit), key(matte, [&](GLPipelineState& s) { unlit(s), s.lightCount = 3; }));
  EXPECT_NE(key(shiny, unlit), key(shiny, [&](GLPipelineState& s) { unlit(s), s.hasTexture = true; }));
  // An alpha test that always passes is no test.
  EXPECT_EQ(key(shiny, [](GLPipelineState& s) { s.alphaTest = true, s.alphaFunc = 8; }), key(shiny, same));
  EXPECT_NE(key(shiny, [](GLPipelineState& s) { s.alphaTest = true, s.alphaFunc = 5; }), key(shiny, same));
}

TEST(GLPrograms_X11, EachPresetDrawsTheSamePixelsSpecialisedAsGeneric) {
  for (const presets::Preset& preset : presets::kPresets) {
    const QImage specialised = presets::Draw(preset, false);
    if (specialised.isNull()) GTEST_SKIP() << "no OpenGL 3.3 context";
    const QImage generic = presets::Draw(preset, true);
    ASSERT_EQ(specialised.size(), generic.size());
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < generic.height(); ++y)
      for (int x = 0; x < generic.width(); ++x)
        if (specialised.pixel(x, y) != generic.pixel(x, y) && differing++ == 0) firstX = x, firstY = y;
    EXPECT_EQ(differing, 0) << preset.name << ": first at " << firstX << "," << firstY;
    // The preset drew something: not the clear colour everywhere.
    int drawn = 0;
    for (int y = 0; y < generic.height(); ++y)
      for (int x = 0; x < generic.width(); ++x) drawn += generic.pixel(x, y) != qRgb(0x10, 0x20, 0x30);
    EXPECT_GT(drawn, 500) << preset.name;
  }
}

}  // namespace

TEST(GLDriverVersionText, NumbersAfterTheGLVersion) {
  const struct {
    const char* text;
    int product, version, subversion, build;
  } cases[] = {
      {"4.5 (Core Profile) Mesa 22.3.6", 4, 22, 3, 6},
      {"4.6.0 NVIDIA 535.104.05", 4, 535, 104, 5},
      {"3.3 (Core Profile) Mesa 23.1.0-devel (git-abc)", 3, 23, 1, 0},
      {"3.3", 3, 0, 0, 0},
      {"", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const LARGE_INTEGER_PARTS v = GLDriverVersion(c.text);
    EXPECT_EQ(DWORD(v.HighPart) >> 16, DWORD(c.product));
    EXPECT_EQ(DWORD(v.HighPart) & 0xFFFF, DWORD(c.version));
    EXPECT_EQ(v.LowPart >> 16, DWORD(c.subversion));
    EXPECT_EQ(v.LowPart & 0xFFFF, DWORD(c.build));
  }
}
