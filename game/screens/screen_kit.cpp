#include "game/screens/screen_kit.h"

#include "engine/engine.h"
#include "support/support.h"

LONG LayoutWidth() { return g_Engine.LayoutSize().cx; }
LONG LayoutHeight() { return g_Engine.LayoutSize().cy; }

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
