// Texture, sprite and font records on the recording device.
#include <QImage>

#include <cmath>

#include "engine/draw_resources.h"
#include "engine_access.h"
#include "engine_fixture.h"
#include "testkit.h"

namespace {

// The texel at (x, y) of level 0, read through a lock.
DWORD TexelAt(CKVRTexture& texture, UINT x, UINT y) {
  D3DLOCKED_RECT locked;
  if (FAILED(texture.m_d3dTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return 0xBAD;
  const DWORD texel =
      reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
  texture.m_d3dTexture->UnlockRect(0);
  return texel;
}

class DrawResourcesTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartEngine();
  }
  // A 64 x 64 texture record (sizes only matter to the sprite).
  void MakeTexture64() {
    ASSERT_TRUE(m_texture.CreateBlank(false));
    m_texture.m_width = m_texture.m_height = 64;
  }
  testkit::TempDir m_dir;
  CKVRTexture m_texture;
};

}  // namespace

// ---- textures ------------------------------------------------------------------------------
TEST_F(DrawResourcesTest, LoadedPictureKeepsItsSizeWhileTheTextureIsPowerOfTwo) {
  QImage picture(300, 200, QImage::Format_ARGB32);
  picture.fill(0xFF336699);
  const std::string path = m_dir / "picture.png";
  ASSERT_TRUE(picture.save(QString::fromStdString(path)));
  ASSERT_TRUE(m_texture.LoadFromFile(path, 0));
  EXPECT_EQ(m_texture.m_imageInfo.Width, 300u);
  EXPECT_EQ(m_texture.m_imageInfo.Height, 200u);
  EXPECT_EQ(m_texture.m_imageInfo.ImageFileFormat, D3DXIFF_PNG);
  EXPECT_EQ(m_texture.m_width, 512u);
  EXPECT_EQ(m_texture.m_height, 256u);
  EXPECT_TRUE(Log().Contains("CreateTexture 512 256 1 1024 32 1")) << Log().Dump();
  EXPECT_EQ(TexelAt(m_texture, 100, 100), 0xFF996633u);  // A8B8G8R8: R in the low byte
}

TEST_F(DrawResourcesTest, ColourKeyMakesExactMatchesTransparentBlack) {
  QImage picture(4, 4, QImage::Format_ARGB32);
  picture.fill(0xFFFF00FF);
  picture.setPixel(0, 0, 0xFFFE00FF);  // one step off: stays
  const std::string path = m_dir / "icon.png";
  ASSERT_TRUE(picture.save(QString::fromStdString(path)));
  ASSERT_TRUE(m_texture.LoadFromFile(path, 0xFFFF00FF));
  EXPECT_EQ(TexelAt(m_texture, 2, 2), 0x00000000u);
  EXPECT_EQ(TexelAt(m_texture, 0, 0), 0xFFFF00FEu);
}

TEST_F(DrawResourcesTest, UndecodableFileLeavesTheRecordWithoutTexture) {
  ASSERT_TRUE(m_texture.CreateBlank(false));
  for (const char* bytes : {"", "not a picture at all", "\x89PNG\r\n\x1a\n truncated"}) {
    const std::string path = m_dir.WriteFile("bad.png", bytes);
    EXPECT_FALSE(m_texture.LoadFromFile(path, 0)) << bytes;
    EXPECT_EQ(m_texture.m_d3dTexture, nullptr);
    EXPECT_EQ(m_texture.m_width, 0u);
  }
  EXPECT_FALSE(m_texture.LoadFromFile(m_dir / "missing.jpg", 0));
}

TEST_F(DrawResourcesTest, BlankTextureIs32SquareWithOrWithoutMipmaps) {
  for (bool autoMip : {false, true}) {
    ASSERT_TRUE(m_texture.CreateBlank(autoMip));
    EXPECT_EQ(m_texture.m_width, 32u);
    EXPECT_EQ(m_texture.m_imageInfo.Height, 32u);
  }
  EXPECT_EQ(Log().Matching("CreateTexture"),
            (std::vector<std::string>{"CreateTexture 32 32 1 0 32 1", "CreateTexture 32 32 0 1024 32 1"}));
}

TEST_F(DrawResourcesTest, FillWritesOnlyTheRecordedAreaThroughThePitch) {
  ASSERT_TRUE(m_texture.CreateBlank(false));
  m_texture.m_width = m_texture.m_height = 16;  // smaller than the 32-texel rows
  ASSERT_TRUE(m_texture.Lock());
  EXPECT_EQ(m_texture.m_lockedRect.Pitch, 128);
  m_texture.Fill(0xFF323246);
  m_texture.Unlock();
  EXPECT_EQ(m_texture.m_surface, nullptr);
  EXPECT_EQ(TexelAt(m_texture, 0, 0), 0xFF323246u);
  EXPECT_EQ(TexelAt(m_texture, 15, 15), 0xFF323246u);
  EXPECT_EQ(TexelAt(m_texture, 16, 0), 0u);
  EXPECT_EQ(TexelAt(m_texture, 0, 16), 0u);
}

TEST_F(DrawResourcesTest, FailedLockHoldsNothing) {
  ASSERT_TRUE(m_texture.CreateBlank(false));
  m_script.m_failAllLocks = true;
  EXPECT_FALSE(m_texture.Lock());
  EXPECT_EQ(m_texture.m_surface, nullptr);
  m_texture.Fill(0xFFFFFFFF);  // not locked: nothing happens
  m_texture.Unlock();
  m_script.m_failAllLocks = false;
  EXPECT_TRUE(m_texture.Lock());
  m_texture.Unlock();
  CKVRTexture none;
  EXPECT_FALSE(none.Lock());
}

// ---- sprites ------------------------------------------------------------------------------
TEST_F(DrawResourcesTest, SpriteStretchesItsSourceOntoTheDestination) {
  MakeTexture64();
  CKVRSprite sprite;
  ASSERT_TRUE(sprite.Create(&m_texture));
  struct Case {
    bool useSource;
    float scaleX, scaleY;
  } cases[] = {{false, 0.5f, 0.25f}, {true, 2.0f, 1.0f}};
  for (const Case& c : cases) {
    sprite.m_useSourceRect = c.useSource;
    sprite.m_sourceRect = RECT{0, 0, 16, 16};
    m_script.m_spriteDraws.clear();
    ASSERT_TRUE(sprite.Draw(RECT{10, 20, 42, 36}, 1, 1, 1, 1));
    ASSERT_EQ(m_script.m_spriteDraws.size(), 1u);
    const RecordedSpriteDraw& d = m_script.m_spriteDraws[0];
    EXPECT_FLOAT_EQ(d.transform._11, c.scaleX);
    EXPECT_FLOAT_EQ(d.transform._22, c.scaleY);
    EXPECT_FLOAT_EQ(d.transform._41, 10.0f);
    EXPECT_FLOAT_EQ(d.transform._42, 20.0f);
    EXPECT_EQ(d.hasSource, c.useSource);
    EXPECT_EQ(d.color, 0xFFFFFFFFu);
    EXPECT_EQ(d.beginFlags, D3DXSPRITE_ALPHABLEND);
  }
  EXPECT_EQ(Log().Count("Sprite.End"), 2);
}

TEST_F(DrawResourcesTest, SpriteColourChannelsAreClampedAndRounded) {
  MakeTexture64();
  CKVRSprite sprite;
  ASSERT_TRUE(sprite.Create(&m_texture));
  ASSERT_TRUE(sprite.Draw(RECT{0, 0, 64, 64}, 1.2f, 0.5f, -1.0f, 0.25f));
  EXPECT_EQ(m_script.m_spriteDraws.at(0).color, D3DCOLOR_ARGB(64, 255, 128, 0));
}

TEST_F(DrawResourcesTest, SpriteWithoutSizeOrInterfaceDrawsNothing) {
  CKVRSprite sprite;
  EXPECT_FALSE(sprite.Draw(RECT{0, 0, 10, 10}, 1, 1, 1, 1));  // no interface, no texture
  CKVRTexture unknownSize;                                    // e.g. its picture failed to load
  ASSERT_TRUE(sprite.Create(&unknownSize));
  EXPECT_FALSE(sprite.Draw(RECT{0, 0, 10, 10}, 1, 1, 1, 1));
  MakeTexture64();
  ASSERT_TRUE(sprite.Create(&m_texture));
  sprite.m_useSourceRect = true;
  sprite.m_sourceRect = RECT{5, 5, 5, 20};
  EXPECT_FALSE(sprite.Draw(RECT{0, 0, 10, 10}, 1, 1, 1, 1));
  EXPECT_TRUE(m_script.m_spriteDraws.empty());
  EXPECT_EQ(Log().Count("Sprite.Begin"), 0);
}

TEST_F(DrawResourcesTest, FailedSpriteCreationLeavesNoSprite) {
  MakeTexture64();
  CKVRSprite sprite;
  m_script.m_failSpriteCreation = true;
  EXPECT_FALSE(sprite.Create(&m_texture));
  EXPECT_EQ(sprite.m_sprite, nullptr);
  EXPECT_EQ(sprite.m_texture, nullptr);
}

// ---- fonts ----------------------------------------------------------------------------------
TEST_F(DrawResourcesTest, ShadowTextDrawsFourShadowsThenTheText) {
  CKVRFont font;
  EXPECT_TRUE(font.DrawShadowText("none", 8, 8));  // no font: true, nothing drawn
  EXPECT_FALSE(font.DrawText(8, 8, "none"));
  ASSERT_EQ(D3DXCreateFontA(g_Engine.Device(), 16, 10, 400, 1, 0, 1, 7, 0, 0, "Arial", &font.m_font), D3D_OK);
  font.m_textColor = 0xFFFFFFFF;
  font.m_shadowColor = 0x80000000;
  m_script.m_log.Clear();
  EXPECT_TRUE(font.DrawShadowText("FPS = 60", 8, 8));
  EXPECT_EQ(Log().Matching("Font."),
            (std::vector<std::string>{
                "Font.DrawText 7 7 0x80000000 FPS = 60", "Font.DrawText 9 7 0x80000000 FPS = 60",
                "Font.DrawText 9 9 0x80000000 FPS = 60", "Font.DrawText 7 9 0x80000000 FPS = 60",
                "Font.DrawText 8 8 0xFFFFFFFF FPS = 60"}));
  EXPECT_EQ(font.m_textColor, 0xFFFFFFFFu);
  for (const RecordedTextDraw& d : m_script.m_textDraws) EXPECT_EQ(d.format, DT_NOCLIP);
}

// ---- the layout scale --------------------------------------------------------------------------
// At each factor the window reports: rectangles edge by edge to the nearest
// device pixel, the back buffer in layout pixels rounded up, fonts made
// (and a font of before the change made again) at the scaled size, text
// measured back in layout pixels rounded up, sprites and text placed in
// device pixels. Factor 1 leaves every value as it is.
TEST_F(DrawResourcesTest, TheLayoutScaleConvertsAtTheDrawCalls) {
  MakeTexture64();
  CKVRSprite sprite;
  ASSERT_TRUE(sprite.Create(&m_texture));
  CKVRFont font;  // made at factor 1, before any change
  ASSERT_TRUE(font.Create(12, 6, 400, false, "Verdana"));
  struct Case {
    double factor;
    RECT device;      // of the layout rectangle {1, 3, 7, 13}
    SIZE layout;      // of the 800 x 600 back buffer
    INT fontHeight;   // of a 12-high font
    UINT fontWidth;   // of its 6-wide characters
    SIZE measured;    // "abcd" in layout pixels
    RECT spriteDest;  // of the layout rectangle {10, 20, 42, 52}
  } cases[] = {
      {1.25, {1, 4, 9, 16}, {640, 480}, 15, 8, {26, 12}, {13, 25, 53, 65}},
      {1.5, {2, 5, 11, 20}, {534, 400}, 18, 9, {24, 12}, {15, 30, 63, 78}},
      {2.0, {2, 6, 14, 26}, {400, 300}, 24, 12, {24, 12}, {20, 40, 84, 104}},
      {1.0, {1, 3, 7, 13}, {800, 600}, 12, 6, {24, 12}, {10, 20, 42, 52}},
      // A factor that is not a positive number counts as 1.
      {0.0, {1, 3, 7, 13}, {800, 600}, 12, 6, {24, 12}, {10, 20, 42, 52}},
      {std::nan(""), {1, 3, 7, 13}, {800, 600}, 12, 6, {24, 12}, {10, 20, 42, 52}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.factor);
    m_window.m_scale = c.factor;
    Inside(g_Engine).HandleResize();  // the client size stays: only the factor changes
    EXPECT_EQ(g_Engine.ToDevicePixels(RECT{1, 3, 7, 13}), c.device);
    EXPECT_EQ(g_Engine.LayoutSize().cx, c.layout.cx);
    EXPECT_EQ(g_Engine.LayoutSize().cy, c.layout.cy);
    ASSERT_NE(font.m_font, nullptr);
    D3DXFONT_DESCA desc;
    ASSERT_EQ(font.m_font->GetDescA(&desc), D3D_OK);
    EXPECT_EQ(desc.Height, c.fontHeight);
    EXPECT_EQ(desc.Width, c.fontWidth);
    EXPECT_EQ(font.m_height, 12);  // the layout keeps its own height
    EXPECT_EQ(font.Measure("abcd").cx, c.measured.cx);
    EXPECT_EQ(font.Measure("abcd").cy, c.measured.cy);
    m_script.m_spriteDraws.clear();
    m_script.m_textDraws.clear();
    ASSERT_TRUE(sprite.Draw(RECT{10, 20, 42, 52}, 1, 1, 1, 1));
    ASSERT_TRUE(font.DrawText(10, 20, "abcd"));
    ASSERT_EQ(m_script.m_spriteDraws.size(), 1u);
    const D3DXMATRIX& t = m_script.m_spriteDraws[0].transform;
    EXPECT_FLOAT_EQ(t._41, float(c.spriteDest.left));
    EXPECT_FLOAT_EQ(t._42, float(c.spriteDest.top));
    EXPECT_FLOAT_EQ(t._11 * 64.0f, float(RectWidth(c.spriteDest)));
    EXPECT_FLOAT_EQ(t._22 * 64.0f, float(RectHeight(c.spriteDest)));
    ASSERT_EQ(m_script.m_textDraws.size(), 1u);
    EXPECT_EQ(m_script.m_textDraws[0].rect.left, c.spriteDest.left);
    EXPECT_EQ(m_script.m_textDraws[0].rect.top, c.spriteDest.top);
  }
}

// The pick ray goes through the device pixel under a layout point: at
// factor 2 the ray of (100, 50) is the ray of device pixel (200, 100).
TEST_F(DrawResourcesTest, ThePickRayTakesLayoutPixels) {
  m_camera.SetEye(0.0f, -100.0f, 500.0f);
  m_camera.LookAt(10.0f, 0.0f, 0.0f);
  m_camera.UpdateView();
  ASSERT_TRUE(g_Engine.BeginFrame());
  D3DXVECTOR3 deviceOrigin, deviceDirection, layoutOrigin, layoutDirection;
  g_Engine.GetScreenRay(&deviceOrigin, &deviceDirection, 200, 100);
  m_window.m_scale = 2.0;
  Inside(g_Engine).HandleResize();
  g_Engine.GetScreenRay(&layoutOrigin, &layoutDirection, 100, 50);
  EXPECT_EQ(layoutOrigin, deviceOrigin);
  EXPECT_EQ(layoutDirection, deviceDirection);
  EndFrame();
}
