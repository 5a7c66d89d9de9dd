// Sections: art and captions - frame
#include "game/screens/start_screen.h"

#include "engine/engine.h"
#include "game/command_ids.h"
#include "game/game_host.h"
#include "game/game_text_ids.h"
#include "game/puzzle_game.h"
#include "game/screens/screen_kit.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
constexpr D3DCOLOR kColorKey = 0xFFFF00FF;  // magenta becomes transparent
constexpr unsigned kCaptionIds[CGUIInterfaceStartMenu::kButtonCount] = {
    IDS_CAPTION_NEW_PUZZLE, IDS_CAPTION_LOAD_PUZZLE, IDS_CAPTION_HELP, IDS_CAPTION_EXIT};
constexpr const char* kButtonFiles[CGUIInterfaceStartMenu::kButtonCount] = {
    "StartMenuButtonNewPuzzle.png", "StartMenuButtonLoadPuzzle.png", "StartMenuButtonHelp.png",
    "StartMenuButtonExit.png"};
}  // namespace

// ---- art and captions ------------------------------------------------------------------------
UINT CGUIInterfaceStartMenu::ButtonCommand(int index) {
  static constexpr UINT kCommands[kButtonCount] = {ID_CREATE_NEW_PUZZLE, ID_LOAD_PUZZLE, ID_HELP_CONTENTS,
                                                   ID_APP_EXIT};
  return index >= 0 && index < kButtonCount ? kCommands[index] : 0;
}

void CGUIInterfaceStartMenu::Activate() {
  LoadTextureArt(m_earthTexture, "StartMenuBackgroundEarth.png", kColorKey);
  RemakeSprite(m_earthSprite, m_earthTexture);
  LoadTextureArt(m_fillTexture, "StartMenuBackgroundFill.png", kColorKey);
  RemakeSprite(m_fillSprite, m_fillTexture);
  for (int i = 0; i < kButtonCount; ++i) LoadTextureArt(m_buttonTextures[i], kButtonFiles[i], kColorKey);
  LoadTextureArt(m_barTexture, "MenuBarStartMenuBackground.png", kColorKey);
  LoadTextureArt(m_titleTexture, "MenuBarStartMenuTitle.png", kColorKey);
  RemakeSprite(m_barSprite, m_barTexture);
  RemakeSprite(m_titleSprite, m_titleTexture);
  LoadCaptions();
  RECT rect{kButtonLeft, kFirstButtonTop, kButtonLeft + kButtonSize, kFirstButtonTop + kButtonSize};
  for (int i = 0; i < kButtonCount; ++i) {
    CKVRGUIButton& button = m_buttons[i];
    button.Create(rect, "", &m_buttonTextures[i]);
    button.m_sourceRect = RECT{0, 0, kButtonSize, kButtonSize};
    button.m_font = g_Game ? &g_Game->m_fonts[0] : nullptr;
    rect.top += kButtonStep;
    rect.bottom += kButtonStep;
  }
  if (g_Game) g_Game->m_puzzleRunning = false;
}

void CGUIInterfaceStartMenu::LoadCaptions() {
  for (int i = 0; i < kButtonCount; ++i) m_captions[i] = LoadResString(kCaptionIds[i]);
}

void CGUIInterfaceStartMenu::Deactivate() {
  for (CKVRTexture* t : {&m_earthTexture, &m_fillTexture, &m_buttonTextures[0], &m_buttonTextures[1],
                         &m_buttonTextures[2], &m_buttonTextures[3], &m_barTexture, &m_titleTexture})
    t->Release();
  for (CKVRSprite* s : {&m_earthSprite, &m_fillSprite, &m_barSprite, &m_titleSprite}) s->Release();
}

// ---- frame ------------------------------------------------------------------------------------
void CGUIInterfaceStartMenu::OnLButtonDown(int x, int y) { m_pressAt = POINT{x, y}; }

int CGUIInterfaceStartMenu::Update() {
  m_pressAt.reset();
  DispatchMouseInput();
  // The buttons see a press where it happened; hover catches up next frame.
  const POINT pointer = m_pressAt.value_or(Cursor());
  CKVRGUIButton& exit = m_buttons[kButtonCount - 1];
  exit.m_rect =
      RECT{kButtonLeft, LayoutHeight() - 8 - kButtonSize, kButtonLeft + kButtonSize, LayoutHeight() - 8};
  for (CKVRGUIButton& button : m_buttons) {
    button.OnMouse(pointer, LeftDown());
    button.m_alpha =
        button.m_visible && PtInRect(button.m_rect, button.m_mousePos) ? kHoverAlpha : kRestAlpha;
  }
  for (int i = 0; i < kButtonCount; ++i) {
    if (m_buttons[i].m_clicked) {
      GameHost().PostCommand(ButtonCommand(i));
      break;
    }
  }
  return 0;
}

void CGUIInterfaceStartMenu::Render() {
  const LONG w = LayoutWidth();
  const LONG h = LayoutHeight();
  g_Engine.SetClearColor(0xFFFFFFFF);
  RECT globe;
  FitRectKeepAspect(RECT{0, 0, 1024, 1024}, RECT{0, 0, h, h}, globe);
  const LONG shift = w - globe.right;
  globe.left += shift;
  globe.right += shift;
  m_earthSprite.Draw(globe, 1.0f, 1.0f, 1.0f, 1.0f);
  RECT fill = globe;
  fill.left = 0;
  fill.right = globe.left > 0 ? globe.left : 0;
  m_fillSprite.Draw(fill, 1.0f, 1.0f, 1.0f, 1.0f);
  for (int i = 0; i < kButtonCount; ++i)  // a picture that did not load is left out
    if (m_buttonTextures[i].m_d3dTexture) m_buttons[i].Render();
  if (g_Game) {
    CKVRFont& font = g_Game->m_fonts[0];
    font.m_textColor = 0xC0FFFFFF;
    font.m_shadowColor = 0xC0000000;
    for (int i = 0; i < kButtonCount; ++i)
      font.DrawShadowText(m_captions[i], m_buttons[i].m_rect.right + 8, m_buttons[i].m_rect.top + 16);
    font.m_textColor = 0xFFFFFFFF;
    font.m_shadowColor = 0xFF000000;
    for (int i = 0; i < kButtonCount; ++i) {
      if (!m_buttons[i].IsHover()) continue;
      font.DrawShadowText(m_captions[i], m_buttons[i].m_rect.right + 8, m_buttons[i].m_rect.top + 16);
      break;
    }
  }
  RenderMenuBar();
}

void CGUIInterfaceStartMenu::RenderMenuBar() {
  const LONG w = LayoutWidth();
  m_barSprite.Draw(RECT{0, 0, w, static_cast<LONG>(m_barTexture.m_height)}, 1.0f, 1.0f, 1.0f, 0.75f);
  m_titleSprite.Draw(
      RECT{0, 0, static_cast<LONG>(m_titleTexture.m_width), static_cast<LONG>(m_titleTexture.m_height)}, 1.0f,
      1.0f, 1.0f, 0.75f);
}
