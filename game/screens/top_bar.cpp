// Sections: activation - input - drawing
#include "game/screens/top_bar.h"

#include <algorithm>

#include "game/game_text_ids.h"
#include "game/puzzle_game.h"
#include "game/saves/saved_game_file.h"
#include "game/screens/screen_kit.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
struct IconSpec {
  const char* file;
  unsigned tooltip;
};
constexpr IconSpec kIcons[CPlayPuzzleTopMenuBar::kIconCount] = {
    {"IconMenu.png", IDS_TIP_GAME_MENU},         {"IconSave.png", IDS_TIP_SAVE},
    {"IconGameInfo.png", IDS_TIP_INFORMATION},   {"IconPreview.png", IDS_TIP_PREVIEW},
    {"IconCommandHelper.png", IDS_TIP_HELPER},   {"IconHelp.png", IDS_TIP_COMMANDS},
    {"IconFullscreen.png", IDS_TIP_FULL_SCREEN}, {"IconMinimize.png", IDS_TIP_MINIMIZE},
};
constexpr D3DCOLOR kColorKey = 0xFFFF00FF;

RECT Offset(RECT r, LONG dx, LONG dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }
}  // namespace

std::string FormatGameTime(double seconds) {
  const int s = seconds >= 1.0 ? static_cast<int>(std::min(seconds, kMaxSavedPlayTime)) : 0;
  const int h = s / 3600;
  const int m = s / 60 - 60 * h;
  const int sec = s - 60 * (s / 60);
  return FormatString(LoadResString(IDS_GAME_TIME).c_str(), h, m, sec);
}

// ---- activation ----------------------------------------------------------------------
void CPlayPuzzleTopMenuBar::Activate() {
  LoadTextureArt(m_backgroundTexture, "MenuBarPlayBackground.png", kColorKey);
  RemakeSprite(m_backgroundSprite, m_backgroundTexture);
  m_whiteTexture.Release();
  MakeWhiteTexture(m_whiteTexture, false);
  RemakeSprite(m_tooltipSprite, m_whiteTexture);
  for (int i = 0; i < kIconCount; ++i) {
    TopBarIcon& icon = m_icons[i];
    LoadTextureArt(icon.m_iconTexture, kIcons[i].file, 0);
    RemakeSprite(icon.m_iconSprite, icon.m_iconTexture);
    const LONG left = 32 + 32 * i;
    icon.m_rect = RECT{left, 2, left + static_cast<LONG>(icon.m_iconTexture.m_width),
                       2 + static_cast<LONG>(icon.m_iconTexture.m_height)};
  }
  LoadTooltips();
}

void CPlayPuzzleTopMenuBar::Deactivate() {
  m_hoveredIcon = -1;
  m_mouseInBar = false;
  m_command = kBarNone;
  m_backgroundTexture.Release();
  m_backgroundSprite.Release();
  m_tooltipSprite.Release();
  m_whiteTexture.Release();
  for (TopBarIcon& icon : m_icons) {
    icon.m_iconSprite.Release();
    icon.m_iconTexture.Release();
  }
}

void CPlayPuzzleTopMenuBar::LoadTooltips() {
  for (int i = 0; i < kIconCount; ++i) m_icons[i].m_tooltip = LoadResString(kIcons[i].tooltip);
}

// ---- input -------------------------------------------------------------------------------
int CPlayPuzzleTopMenuBar::Update() {
  m_command = kBarNone;
  DispatchMouseInput();
  return m_command;
}

int CPlayPuzzleTopMenuBar::IconAt(int x, int y) const {
  for (int i = 0; i < kIconCount; ++i)
    if (PtInRect(m_icons[i].m_rect, POINT{x, y})) return i;
  return -1;
}

void CPlayPuzzleTopMenuBar::OnLButtonDown(int x, int y) {
  m_command = kBarNone;
  // Icons 6 and 7 may overlap when their pictures are wider than the gap
  // between them: the click takes the icon the hover shows.
  const int i = IconAt(x, y);
  if (i < 0) return;
  if (m_mode == 1)
    m_command = i + 1;
  else if (m_mode == 0 && (i == 6 || i == 7))
    m_command = i + 1;
}

void CPlayPuzzleTopMenuBar::OnPointerAt(int x, int y) {
  m_mouseInBar = y < kTopStripHeight;
  m_hoveredIcon = IconAt(x, y);
}

// ---- drawing -------------------------------------------------------------------------------
void CPlayPuzzleTopMenuBar::PlaceRightIcons(LONG width) {
  for (int i : {6, 7}) {
    RECT& r = m_icons[i].m_rect;
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    const LONG left = width - (i == 6 ? 64 : 40);
    r = RECT{left, 2, left + w, 2 + h};
  }
}

void CPlayPuzzleTopMenuBar::Render() {
  const LONG w = LayoutWidth();
  PlaceRightIcons(w);
  if (m_mode != 0 && m_mode != 1) return;
  if (m_mode == 1) {
    if (m_mouseInBar)
      m_backgroundSprite.Draw(RECT{0, 0, w, 32}, 0.9f, 0.9f, 0.9f, 1.0f);
    else
      m_backgroundSprite.Draw(RECT{0, 0, w, 32}, 1.0f, 1.0f, 1.0f, 0.25f);
  }
  const float rest = m_mode == 1 ? 0.8f : 0.5f;
  for (int i = m_mode == 1 ? 0 : 6; i < kIconCount; ++i) {
    m_icons[i].m_iconSprite.Draw(m_icons[i].m_rect, 1.0f, 1.0f, 1.0f, i == m_hoveredIcon ? 1.0f : rest);
    if (i == m_hoveredIcon) DrawTooltip(i);
  }
  if (m_mode == 1 && g_Game) {
    CKVRFont& font = g_Game->m_fonts[1];
    font.m_textColor = 0xFFFFFFFF;
    font.m_shadowColor = 0xFF000000;
    font.DrawShadowText(FormatGameTime(g_Game->m_playTimer.GetElapsed()), w - 470, 2);
  }
}

RECT CPlayPuzzleTopMenuBar::TooltipRect(const RECT& icon, SIZE text, LONG width) {
  RECT t{icon.left - 4, icon.bottom + 16 - 4, icon.left + text.cx + 4, icon.bottom + 16 + text.cy + 4};
  if (t.right + 4 > width) t = Offset(t, -(t.right + 4 - width), 0);
  return t;
}

void CPlayPuzzleTopMenuBar::DrawTooltip(int index) {
  if (!g_Game) return;
  CKVRFont& font = g_Game->m_fonts[2];
  const TopBarIcon& icon = m_icons[index];
  const RECT t = TooltipRect(icon.m_rect, font.Measure(icon.m_tooltip), LayoutWidth());
  for (LONG d : {3, 2, 1}) m_tooltipSprite.Draw(Offset(t, d, d), 0.0f, 0.0f, 0.0f, 0.2f);
  m_tooltipSprite.Draw(t, 1.0f, 1.0f, 1.0f, 1.0f);
  const RECT border[4] = {{t.left, t.top, t.right, t.top + 1},
                          {t.left, t.bottom, t.right, t.bottom + 1},
                          {t.left, t.top, t.left + 1, t.bottom},
                          {t.right, t.top, t.right + 1, t.bottom}};
  for (const RECT& line : border) m_tooltipSprite.Draw(line, 0.0f, 0.0f, 0.0f, 1.0f);
  font.m_textColor = 0xFF000000;
  font.m_shadowColor = 0xFF000000;
  font.DrawText(t.left + 4, t.top + 4, icon.m_tooltip);
}
