#include "game/screens/screen_kit.h"

#include "engine/engine.h"
#include "support/support.h"

LONG BackBufferWidth() { return static_cast<LONG>(g_Engine.m_backBufferDesc.Width); }
LONG BackBufferHeight() { return static_cast<LONG>(g_Engine.m_backBufferDesc.Height); }

bool LoadTextureArt(CKVRTexture& texture, const char* file, D3DCOLOR colorKey) {
  return texture.LoadFromFile(GetTexturesDir() + kPathSeparator + file, colorKey);
}

void RemakeSprite(CKVRSprite& sprite, CKVRTexture& texture) {
  sprite.Release();
  sprite.Create(&texture);
}

bool MakeWhiteTexture(CKVRTexture& texture, bool autoMipMap) {
  if (!texture.CreateBlank(autoMipMap)) return false;
  if (texture.Lock()) {
    texture.Fill(0xFFFFFFFF);
    texture.Unlock();
  }
  return true;
}

SIZE MeasureText(const CKVRFont& font, const std::string& text) {
  if (!font.m_font) return SIZE{0, 0};
  RECT r{0, 0, 0, 0};
  font.m_font->DrawTextA(nullptr, text.c_str(), -1, &r, font.m_format | DT_CALCRECT, font.m_textColor);
  return SIZE{r.right - r.left, r.bottom - r.top};
}
