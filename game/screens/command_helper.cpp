// Sections: show and hide - layout - drawing
#include "game/screens/command_helper.h"

#include <algorithm>

#include "engine/engine.h"
#include "game/game_host.h"
#include "game/game_profile.h"
#include "game/game_text_ids.h"
#include "game/puzzle_game.h"
#include "game/screens/screen_kit.h"
#include "support/string_table.h"

namespace {
struct LineSpec {
  int id;
  unsigned text;  // 0: empty
  unsigned keyText;
};
constexpr LineSpec kLines[] = {
    {kHelpTitle, 276, 277},        {kHelpSpacer, 0, 0},         {kHelpHeader, 278, 0},
    {kHelpSpacer, 0, 0},           {kHelpSelect, 279, 280},     {kHelpMove, 281, 282},
    {kHelpRotate, 283, 284},       {kHelpDisconnect, 285, 286}, {kHelpSpacer, 0, 0},
    {kHelpHeader, 287, 0},         {kHelpSpacer, 0, 0},         {kHelpViewIdle, 288, 289},
    {kHelpViewMoving, 290, 291},   {kHelpZoom, 292, 293},       {kHelpSpacer, 0, 0},
    {kHelpHeader, 294, 0},         {kHelpSpacer, 0, 0},         {kHelpPreview, 295, 296},
    {kHelpLargePreview, 297, 298},
};

struct FontSpec {
  int height;
  UINT width;
  UINT weight;
  bool italic;
};

void MakeFont(CKVRFont& font, const FontSpec& spec) {
  font.Create(spec.height, spec.width, spec.weight, spec.italic, "Verdana");
}

std::string Text(unsigned id) { return id ? LoadResString(id) : std::string(); }

RECT At(LONG left, LONG top, SIZE size) { return RECT{left, top, left + size.cx, top + size.cy}; }

void DrawIn(CKVRFont& font, D3DCOLOR color, const RECT& rect, const std::string& text) {
  font.m_textColor = color;
  font.DrawText(rect.left + 12, rect.top, text);
}
}  // namespace

// ---- show and hide -----------------------------------------------------------------------
bool CCommandHelperWindow::Show() {
  m_panelRect = RECT{6, 35, 206, 435};
  // The cursor as the view sees it: in layout pixels, like every later move.
  m_cursor = GameHost().CursorPos();
  m_panelTexture.Release();
  MakeWhiteTexture(m_panelTexture, true);
  m_background.Create(m_panelRect, &m_panelTexture);
  LoadTextureArt(m_closeTexture, "CloseButton.png", 0xFFFF00FF);
  RemakeSprite(m_closeSprite, m_closeTexture);
  MakeFont(m_fontRegular, FontSpec{12, 6, 400, false});
  MakeFont(m_fontBold, FontSpec{12, 6, 700, false});
  MakeFont(m_fontTitle, FontSpec{18, 10, 400, true});
  m_lines.clear();
  for (const LineSpec& line : kLines) AddLine(line.id, Text(line.text), Text(line.keyText));
  Layout();
  m_created = true;
  m_visible = true;
  return true;
}

void CCommandHelperWindow::OnPointerAt(int x, int y) {
  if (m_visible) m_cursor = POINT{x, y};
}

void CCommandHelperWindow::Hide() {
  if (!m_created) return;
  m_fontRegular.Release();
  m_fontBold.Release();
  m_fontTitle.Release();
  m_visible = false;
  m_background.m_leftButton = false;
  m_background.m_clicked = false;
  m_lines.clear();
  m_created = false;
}

void CCommandHelperWindow::OnCloseClicked() {
  if (g_Game) {
    g_Game->m_showCommandHelper = false;
    if (g_Game->m_screenType == kScreenPlay) Hide();
  } else {
    Hide();
  }
  GameProfileChange().Set(profile::kShowCommandHelper, false).SaveOrSay();
}

void CCommandHelperWindow::AddLine(int id, const std::string& text, const std::string& keyText) {
  HelpLine line;
  line.m_id = id;
  line.m_text = text;
  line.m_keyText = keyText;
  m_lines.push_back(std::move(line));
}

void CCommandHelperWindow::EnableEntry(int id, bool enabled) {
  auto line = std::find_if(m_lines.begin(), m_lines.end(), [id](const HelpLine& l) { return l.m_id == id; });
  if (line != m_lines.end()) line->m_enabled = enabled;
  Layout();
}

// ---- layout --------------------------------------------------------------------------------
void CCommandHelperWindow::Layout() {
  const LONG left = m_panelRect.left, top = m_panelRect.top;
  LONG y = 12;
  LONG widest = 0;
  for (HelpLine& line : m_lines) {
    line.m_textRect = line.m_keyRect = RECT{0, 0, 0, 0};
    if (!line.m_enabled) continue;
    if (line.m_id == kHelpSpacer) {
      y += 8;
      continue;
    }
    const CKVRFont& main = line.m_id == kHelpHeader  ? m_fontBold
                           : line.m_id == kHelpTitle ? m_fontTitle
                                                     : m_fontRegular;
    const SIZE t = main.Measure(line.m_text);
    line.m_textRect = At(left, top + y, t);
    y += t.cy;
    widest = std::max(widest, t.cx);
    if (line.m_id == kHelpHeader) continue;
    const SIZE k = m_fontRegular.Measure(line.m_keyText);
    line.m_keyRect = At(left, top + y, k);
    y += k.cy + (line.m_id == kHelpTitle ? 0 : 4);
    widest = std::max(widest, k.cx);
  }
  for (HelpLine& line : m_lines) {
    if (!line.m_enabled) continue;
    line.m_textRect.right = line.m_textRect.left + widest + 24;
    line.m_keyRect.right = line.m_keyRect.left + widest + 24;
  }
  m_panelRect.right = left + widest + 24;
  m_panelRect.bottom = top + y + 12;
  m_background.m_rect = m_panelRect;
  m_closeRect = RECT{m_panelRect.right - 28, top + 12, m_panelRect.right - 12, top + 28};
}

// ---- drawing -----------------------------------------------------------------------------------
void CCommandHelperWindow::Render() {
  if (!m_visible) return;
  m_background.m_alpha = 0.9f;
  m_background.m_rect = m_panelRect;
  m_background.Render();
  for (const HelpLine& line : m_lines) {
    if (!line.m_enabled) continue;
    switch (line.m_id) {
      case kHelpSpacer: break;
      case kHelpHeader: DrawIn(m_fontBold, 0xFF000000, line.m_textRect, line.m_text); break;
      case kHelpTitle:
        DrawIn(m_fontTitle, 0xFF0000FF, line.m_textRect, line.m_text);
        DrawIn(m_fontRegular, 0xFF0080FF, line.m_keyRect, line.m_keyText);
        break;
      default:
        DrawIn(m_fontRegular, 0xFF000000, line.m_textRect, line.m_text);
        DrawIn(m_fontRegular, 0xFF008000, line.m_keyRect, line.m_keyText);
        break;
    }
  }
  m_closeSprite.Draw(m_closeRect, 1.0f, 1.0f, 1.0f, 1.0f);
}
