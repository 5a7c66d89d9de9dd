// The engine on the GL device: the device search over what the context
// offers, a resize, and a frame of render objects, sprites and text.
#include <gtest/gtest.h>

#include <QImage>

#include <new>

#include "engine/camera.h"
#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "engine/render_object.h"
#include "engine_access.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host.h"
#include "tests/engine/gl_engine_fixture.h"

namespace {

class EngineOnGL_X11 : public GLEngineFixture {
 protected:
  EngineOnGL_X11() : GLEngineFixture(160, 120) {}
  static QImage Shown() {
    QImage image;
    GLReadBackBuffer(g_Engine.Device(), &image);
    return image;
  }
};

TEST_F(EngineOnGL_X11, CreatesTheBestDeviceTheContextOffersAndResizesIt) {
  // Type 1 counts too: on a software renderer it is the only one above 0.
  DWORD highest = 0;
  for (DWORD type = 1; type <= 16; ++type)
    if (Inside(g_Engine).Direct3D()->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 1, type,
                                                                nullptr) == D3D_OK)
      highest = type;
  EXPECT_EQ(g_Engine.PresentParameters().MultiSampleType, highest);
  EXPECT_EQ(g_Engine.PresentParameters().AutoDepthStencilFormat, D3DFMT_D24S8);
  EXPECT_EQ(g_Engine.PresentParameters().PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_EQ(g_Engine.BackBufferSize().cx, 160);
  EXPECT_EQ(g_Engine.BackBufferSize().cy, 120);

  m_window.SetClientSize(200, 100);
  Inside(g_Engine).HandleResize();
  EXPECT_FALSE(Inside(g_Engine).DeviceLost());
  EXPECT_EQ(g_Engine.BackBufferSize().cx, 200);
  g_Engine.SetClearColor(0xFF102030);
  ASSERT_TRUE(g_Engine.BeginFrame());
  g_Engine.Device()->EndScene();
  EXPECT_EQ(g_Engine.Device()->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  const QImage image = Shown();
  EXPECT_EQ(image.size(), QSize(200, 100));
  EXPECT_EQ(image.pixel(199, 99), qRgb(0x10, 0x20, 0x30));
}

TEST_F(EngineOnGL_X11, DrawsRenderObjectsSpritesAndTextIntoTheFrame) {
  CKVRCamera camera;
  camera.SetEye(0, -60, 60);
  camera.LookAt(0, 0, 0);
  g_Engine.SetCamera(&camera);
  g_Engine.SetClearColor(0xFF204080);
  ASSERT_TRUE(g_Engine.BeginFrame());

  CKVRTexture green, white;
  ASSERT_TRUE(green.CreateBlank(false) && green.Lock());
  green.Fill(0xFF00FF00);  // A8B8G8R8: green
  green.Unlock();
  ASSERT_TRUE(white.CreateBlank(true) && white.Lock());
  white.Fill(0xFFFFFFFF);
  white.Unlock();

  CKVR3DObject plane;
  ASSERT_TRUE(BuildGridMesh(plane, 40, 40, 4, 4));
  plane.m_texture = &green;
  g_Engine.Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  plane.Render();  // full ambient light: the texture as it is

  CKVRSprite sprite;
  ASSERT_TRUE(sprite.Create(&white));
  EXPECT_TRUE(sprite.Draw(RECT{10, 10, 30, 20}, 1, 0, 0, 1));

  CKVRFont font;
  ASSERT_EQ(D3DXCreateFontA(g_Engine.Device(), 16, 0, FW_BOLD, 1, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, "Verdana", &font.m_font),
            D3D_OK);
  font.m_height = 16;
  font.m_textColor = 0xFFFFFFFF;
  font.m_shadowColor = 0xFF000000;
  EXPECT_TRUE(font.DrawShadowText("\xC3\x89t\xC3\xA9", 100, 4));
  g_Engine.Device()->EndScene();
  g_Engine.Device()->Present(nullptr, nullptr, nullptr, nullptr);

  const QImage image = Shown();
  EXPECT_EQ(image.pixel(80, 60), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(15, 15), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(29, 19), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(30, 15), qRgb(0x20, 0x40, 0x80));
  int bright = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 90; x < 160; ++x)
      bright += qGreen(image.pixel(x, y)) > 220 && qBlue(image.pixel(x, y)) > 220;
  EXPECT_GT(bright, 10);
}

}  // namespace
