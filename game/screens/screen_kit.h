#pragma once
// Small drawing helpers the 3D screens share: the view's size in layout
// pixels, art from the textures folder and blank white textures.
#include <string>

#include "engine/draw_resources.h"
#include "platform/win_types.h"

// The view's width and height in layout pixels, the unit the screens' 2D
// parts are laid out in (g_Engine.LayoutSize()).
LONG LayoutWidth();
LONG LayoutHeight();

// Loads the file of the textures folder (colour key 0: none). A file that
// does not load leaves the record without a texture.
bool LoadTextureArt(CKVRTexture& texture, const char* file, D3DCOLOR colorKey);
// Releases the sprite's interface and makes a new one on the texture.
void RemakeSprite(CKVRSprite& sprite, CKVRTexture& texture);
// A 32 x 32 opaque white texture (one level, or a full chain with automatic
// mipmaps).
bool MakeWhiteTexture(CKVRTexture& texture, bool autoMipMap);
