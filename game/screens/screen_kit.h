#pragma once
// Small drawing helpers the 3D screens share: the back buffer's size, art
// from the textures folder, blank white textures and text measured with a
// font.
#include <string>

#include "engine/draw_resources.h"
#include "platform/win_types.h"

// The back buffer's width and height in pixels.
LONG BackBufferWidth();
LONG BackBufferHeight();

// Loads the file of the textures folder (colour key 0: none). A file that
// does not load leaves the record without a texture.
bool LoadTextureArt(CKVRTexture& texture, const char* file, D3DCOLOR colorKey);
// Releases the sprite's interface and makes a new one on the texture.
void RemakeSprite(CKVRSprite& sprite, CKVRTexture& texture);
// A 32 x 32 opaque white texture (one level, or a full chain with automatic
// mipmaps).
bool MakeWhiteTexture(CKVRTexture& texture, bool autoMipMap);
// Width and height of the text drawn with the font (DT_CALCRECT from
// (0, 0)); (0, 0) without a font.
SIZE MeasureText(const CKVRFont& font, const std::string& text);
