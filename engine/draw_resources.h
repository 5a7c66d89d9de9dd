#pragma once
// The records the programs draw with: a texture (loaded from an image file or
// made blank, with its sizes and a lock for filling it), a sprite bound to a
// texture record, and a font with its colours and DrawText format.
//
// Each record registers itself in g_Engine's matching list when constructed
// and unregisters itself when destroyed (the owner may unregister earlier;
// unregistering twice is harmless), so the engine can reach every live record
// on a device reset and at shutdown. A record owns its interface and releases
// it when it is destroyed. Records are neither copied nor moved.
//
// Sprites and fonts take positions and sizes in layout pixels and draw at
// g_Engine's layout scale (engine/engine.h): a sprite's rectangle and a
// text's place are converted at the draw, a font is made at its height
// times the scale (made again when the scale changes), so text is drawn
// at the device's resolution. Textures keep the size of their pictures and
// are stretched over the converted rectangle with the device's filter.
//
// Sections: texture - sprite - font
#include <string>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3dx9.h"

// ---- texture ------------------------------------------------------------------------
class CKVRTexture {
 public:
  CKVRTexture();
  ~CKVRTexture();
  CKVRTexture(const CKVRTexture&) = delete;
  CKVRTexture& operator=(const CKVRTexture&) = delete;

  // Loads an image file (UTF-8 path) into a managed A8B8G8R8 texture whose
  // sides are the picture's rounded up to powers of two, with generated mip
  // levels. colorKey (0xAARRGGBB, 0 none) turns matching texels transparent
  // black. m_imageInfo gets the picture's size, m_width/m_height the
  // texture's. false on any failure (a picture that does not decode leaves no
  // texture).
  bool LoadFromFile(const std::string& path, D3DCOLOR colorKey);
  // A 32 x 32 blank texture: a full mip chain with automatic mipmaps when
  // autoMipMap, else one level. Sizes become 32.
  bool CreateBlank(bool autoMipMap);
  // Locks the whole of level 0 into m_lockedRect. false (and nothing held)
  // without a texture or when the lock fails.
  bool Lock();
  // Every texel of the m_width x m_height area becomes color, row by row
  // through the pitch. Only while locked.
  void Fill(DWORD color);
  // Ends a successful Lock.
  void Unlock();
  // Releases the texture interface (and a held surface).
  void Release();

  IDirect3DTexture9* m_d3dTexture = nullptr;
  D3DXIMAGE_INFO m_imageInfo;
  UINT m_width = 0;
  UINT m_height = 0;
  IDirect3DSurface9* m_surface = nullptr;
  D3DLOCKED_RECT m_lockedRect;
};

// ---- sprite ----------------------------------------------------------------------------
class CKVRSprite {
 public:
  CKVRSprite();
  ~CKVRSprite();
  CKVRSprite(const CKVRSprite&) = delete;
  CKVRSprite& operator=(const CKVRSprite&) = delete;

  // A new sprite interface bound to texture (not owned); clears
  // m_useSourceRect. false when the sprite cannot be made (no texture bound).
  bool Create(CKVRTexture* texture);
  // Draws the texture (or m_sourceRect of it) stretched to exactly fill dest
  // (layout pixels; on the device ToDevicePixels(dest)), texels multiplied by the colour (r, g, b, a in 0..1,
  // clamped). false without a sprite or texture record, when the source size is zero or unknown, or when a
  // sprite call fails.
  bool Draw(const RECT& dest, float r, float g, float b, float a);
  // Releases the sprite interface.
  void Release();

  ID3DXSprite* m_sprite = nullptr;
  CKVRTexture* m_texture = nullptr;
  RECT m_sourceRect;
  bool m_useSourceRect = false;
};

// A colour channel in 0..1 as a byte: >= 1 gives 255, <= 0 gives 0, otherwise
// value x 255 + 0.5 truncated.
BYTE ColorChannelToByte(float value);

// ---- font -------------------------------------------------------------------------------
class CKVRFont {
 public:
  CKVRFont();
  ~CKVRFont();
  CKVRFont(const CKVRFont&) = delete;
  CKVRFont& operator=(const CKVRFont&) = delete;

  // Makes the font (the one before released): the face with a cell height
  // and an average character width (0: the face's own) in layout pixels,
  // both times the layout scale on the device. m_height becomes height.
  // false (no font, height 0) without a device or when it cannot be made.
  bool Create(int height, UINT width, UINT weight, bool italic, const char* face);
  // Makes a font of Create's again at the current layout scale; nothing
  // for a released font or one made otherwise.
  void Rescale();
  // Draws text with its top-left corner at (x, y) (layout pixels) in the
  // text colour and the record's format. false without a font or when
  // drawing fails.
  bool DrawText(int x, int y, const std::string& text);
  // Four copies in the shadow colour at the diagonal neighbours (x-1,y-1),
  // (x+1,y-1), (x+1,y+1), (x-1,y+1), then the text at (x, y). Always true.
  bool DrawShadowText(const std::string& text, int x, int y);
  // Width and height of the text (DT_CALCRECT) in layout pixels, rounded
  // up; (0, 0) without a font.
  SIZE Measure(const std::string& text) const;
  // Releases the font interface; the height returns to 0.
  void Release();

  ID3DXFont* m_font = nullptr;
  D3DCOLOR m_textColor = 0;
  D3DCOLOR m_shadowColor = 0;
  DWORD m_format = DT_NOCLIP;
  int m_height = 0;  // layout pixels

 private:
  D3DXFONT_DESCA m_shape;  // what Create was given (Height 0: not made by Create)
};
