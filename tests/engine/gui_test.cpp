// Sprite widgets on the recording device: clicks, hover, drawing, captions.
#include <QCursor>
#include <QWidget>
#include <memory>

#include "engine/gui.h"
#include "engine_access.h"
#include "engine_fixture.h"
#include "platform/input/input.h"

namespace {

class GuiTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartEngine();
    ASSERT_TRUE(m_texture.CreateBlank(false));
    m_texture.m_width = 64;
    m_texture.m_height = 32;
    g_Input.m_mouseState = DIMOUSESTATE2{};
  }
  void TearDown() override {
    g_Input.Release();
    g_Input.m_mouseState = DIMOUSESTATE2{};
    EngineTest::TearDown();
  }
  CKVRTexture m_texture;
};

// With a Qt window for g_Input (and the cursor).
class Gui_Offscreen : public GuiTest {};

}  // namespace

TEST_F(GuiTest, AClickIsTheLeftButtonGoingDownInsideAVisibleWidget) {
  struct Frame {
    POINT point;
    bool button;
    bool visible;
    bool clicked;
  };
  struct Case {
    const char* name;
    std::vector<Frame> frames;
  };
  // The widget covers x 10..49, y 20..39.
  const Case cases[] = {
      {"PressInside",
       {{{15, 25}, false, true, false}, {{15, 25}, true, true, true}, {{15, 25}, true, true, false}}},
      {"TopLeftCornerIsInside", {{{10, 20}, true, true, true}}},
      {"LastInsidePixel", {{{49, 39}, true, true, true}}},
      {"RightEdgeIsOutside", {{{50, 25}, true, true, false}}},
      {"BottomEdgeIsOutside", {{{15, 40}, true, true, false}}},
      {"HeldFromOutsideMovedIn", {{{5, 25}, true, true, false}, {{15, 25}, true, true, false}}},
      {"HiddenThenVisible",
       {{{15, 25}, true, false, false}, {{15, 25}, false, true, false}, {{15, 25}, true, true, true}}},
      {"ReleaseAndPressAgain",
       {{{15, 25}, true, true, true}, {{15, 25}, false, true, false}, {{15, 25}, true, true, true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CKVRGUIImageFrame frame;
    ASSERT_TRUE(frame.Create(RECT{10, 20, 50, 40}, &m_texture));
    for (size_t i = 0; i < c.frames.size(); ++i) {
      const Frame& f = c.frames[i];
      frame.m_visible = f.visible;
      frame.OnMouse(f.point, f.button);
      EXPECT_EQ(frame.m_clicked, f.clicked) << "frame " << i;
      EXPECT_EQ(frame.IsHover(), f.visible && PtInRect(frame.m_rect, f.point)) << "frame " << i;
    }
  }
}

TEST_F(GuiTest, AWidgetCreatedWhileTheButtonIsHeldDoesNotClickAtOnce) {
  g_Input.m_mouseState.rgbButtons[0] = 0x80;
  CKVRGUIButton button;
  ASSERT_TRUE(button.Create(RECT{0, 0, 64, 32}, "Go", &m_texture));
  EXPECT_TRUE(button.m_leftButton);
  button.OnMouse(POINT{5, 5}, true);
  EXPECT_FALSE(button.m_clicked);
  button.OnMouse(POINT{5, 5}, false);
  button.OnMouse(POINT{5, 5}, true);
  EXPECT_TRUE(button.m_clicked);
}

TEST_F(GuiTest, ImageFrameDrawsItsTextureWithItsAlphaOnlyWhenVisible) {
  CKVRGUIImageFrame frame;
  ASSERT_TRUE(frame.Create(RECT{10, 20, 138, 84}, &m_texture));
  frame.m_alpha = 0.5f;
  frame.Render();
  ASSERT_EQ(m_script.m_spriteDraws.size(), 1u);
  EXPECT_EQ(m_script.m_spriteDraws[0].color, D3DCOLOR_ARGB(128, 255, 255, 255));
  EXPECT_FLOAT_EQ(m_script.m_spriteDraws[0].transform._11, 2.0f);
  EXPECT_FALSE(m_script.m_spriteDraws[0].hasSource);
  frame.m_visible = false;
  frame.Render();
  EXPECT_EQ(m_script.m_spriteDraws.size(), 1u);
}

TEST_F(GuiTest, ButtonCaptionIsCentredVerticallyInWhiteOverBlackShadow) {
  CKVRFont font;
  ASSERT_EQ(D3DXCreateFontA(g_Engine.Device(), 14, 0, 400, 1, 0, 1, 7, 0, 0, "Arial", &font.m_font), D3D_OK);
  font.m_height = 14;
  struct Case {
    float alpha;
    DWORD a;  // expected alpha byte << 24
  };
  const Case cases[] = {{0.85f, 216u << 24}, {1.0f, 255u << 24}, {1.2f, 255u << 24}, {-0.1f, 0u}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alpha);
    CKVRGUIButton button;
    ASSERT_TRUE(button.Create(RECT{8, 62, 72, 94}, "New", &m_texture));
    EXPECT_EQ(button.m_sourceRect, (RECT{0, 0, 64, 32}));
    button.m_font = &font;
    button.m_alpha = c.alpha;
    m_script.m_textDraws.clear();
    m_script.m_spriteDraws.clear();
    m_script.m_log.Clear();
    button.Render();
    ASSERT_EQ(m_script.m_spriteDraws.size(), 1u);
    EXPECT_TRUE(m_script.m_spriteDraws[0].hasSource);
    EXPECT_EQ(m_script.m_spriteDraws[0].source, (RECT{0, 0, 64, 32}));
    EXPECT_EQ(font.m_textColor, c.a + 0xFFFFFFu);
    EXPECT_EQ(font.m_shadowColor, c.a);
    // The text itself comes last, at (8 + 8, (32 - 14) / 2 + 62).
    const std::vector<std::string> text = Log().Matching("Font.DrawText");
    ASSERT_EQ(text.size(), 5u);
    char expected[64];
    std::snprintf(expected, sizeof expected, "Font.DrawText 16 71 0x%08X New", c.a + 0xFFFFFFu);
    EXPECT_EQ(text.back(), expected);
  }
}

TEST_F(GuiTest, HiddenOrFontlessButtonsDrawLess) {
  CKVRGUIButton button;
  ASSERT_TRUE(button.Create(RECT{0, 0, 64, 32}, "Go", &m_texture));
  button.Render();  // no font: the texture only
  EXPECT_EQ(m_script.m_spriteDraws.size(), 1u);
  EXPECT_EQ(Log().Count("Font."), 0);
  button.m_visible = false;
  button.Render();
  EXPECT_EQ(m_script.m_spriteDraws.size(), 1u);
}

TEST_F(GuiTest, ResetAndFailedCreation) {
  CKVRGUIImageFrame frame;
  ASSERT_TRUE(frame.Create(RECT{1, 2, 3, 4}, &m_texture));
  frame.m_alpha = 0.3f;
  frame.m_visible = false;
  frame.Reset();
  EXPECT_FALSE(frame.m_created);
  EXPECT_TRUE(frame.m_visible);
  EXPECT_EQ(frame.m_rect, RECT{});
  EXPECT_EQ(frame.m_texture, nullptr);
  EXPECT_EQ(frame.m_alpha, 1.0f);
  EXPECT_EQ(frame.m_spriteRecord.m_sprite, nullptr);

  m_script.m_failSpriteCreation = true;
  CKVRGUIButton button;
  EXPECT_FALSE(button.Create(RECT{0, 0, 64, 32}, "Go", &m_texture));
  EXPECT_FALSE(button.m_created);
  button.Render();  // draws nothing
  EXPECT_TRUE(m_script.m_spriteDraws.empty());
}

TEST_F(GuiTest, WidgetsDestroyedThroughTheBaseUnregisterTheirSprites) {
  const size_t before = Inside(g_Engine).Sprites().size();
  std::unique_ptr<CKVRGUIWnd> widgets[] = {std::make_unique<CKVRGUIButton>(),
                                           std::make_unique<CKVRGUIImageFrame>()};
  EXPECT_EQ(Inside(g_Engine).Sprites().size(), before + 2);
  for (auto& w : widgets) w.reset();
  EXPECT_EQ(Inside(g_Engine).Sprites().size(), before);
}

TEST_F(Gui_Offscreen, CreationTakesTheCursorInClientCoordinates) {
  QWidget window;
  window.setGeometry(300, 200, 400, 300);
  ASSERT_TRUE(g_Input.Create(&window, nullptr));
  QCursor::setPos(window.mapToGlobal(QPoint(15, 25)));
  ASSERT_EQ(QCursor::pos(), QPoint(315, 225));
  CKVRGUIImageFrame frame;
  ASSERT_TRUE(frame.Create(RECT{10, 20, 50, 40}, &m_texture));
  EXPECT_EQ(frame.m_mousePos.x, 15);
  EXPECT_EQ(frame.m_mousePos.y, 25);
  EXPECT_TRUE(frame.IsHover());  // before its first OnMouse
}
