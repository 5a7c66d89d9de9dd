#pragma once
// The D3DX helpers the engine calls: textures from image files, blank
// textures, sprites and fonts. The mathematics is in platform/d3d9/d3dx_math.h.
//
// Textures are made with the device's own CreateTexture and filled through
// LockRect, so they work on every back end unchanged. Sprites and fonts are
// back-end objects: D3DXCreateSprite and D3DXCreateFontA forward to
// IDirect3DDevice9::CreateD3DXSprite / CreateD3DXFont.
//
// Sections: constants - picture limits - image information - textures -
// sprites - fonts
#include <cstdint>
#include <string>

#include "platform/d3d9/d3d9.h"

// ---- constants -------------------------------------------------------------------
// "Choose for me": sizes from the file rounded up to powers of two, a full mip
// chain, the default filters.
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

// Sprite Begin flags.
constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;

// DrawText format flags. Text is drawn from the rectangle's top-left corner;
// lines are separated by "\n".
constexpr DWORD DT_TOP = 0x0;
constexpr DWORD DT_LEFT = 0x0;
constexpr DWORD DT_NOCLIP = 0x100;    // right and bottom do not clip
constexpr DWORD DT_CALCRECT = 0x400;  // measure only: see ID3DXFont::DrawTextA

// Font creation values.
constexpr UINT FW_NORMAL = 400;
constexpr UINT FW_BOLD = 700;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FF_DONTCARE = 0;

// ---- picture limits ---------------------------------------------------------------
// Picture files come from anywhere: a few bytes may declare a picture of
// gigabytes. Only BMP, GIF, JPEG and PNG are decoded (told by the content,
// whatever the extension says), only regular files are opened (never
// waiting on a pipe), and a picture whose declared size exceeds the pixel
// budget is refused before decoding. Pictures larger than the texture they
// make are decoded straight to that size where the format allows (JPEG).
inline constexpr std::uint64_t kDefaultPicturePixelBudget = std::uint64_t(64) << 20;  // 64 megapixels
// A picture file may not be larger than the biggest uncompressed picture of
// the budget (32-bit BMP) and its headers.
inline constexpr std::uint64_t kMaxPictureFileBytes = (kDefaultPicturePixelBudget * 4) + (1 << 20);
// The budget in pixels (width x height); tests and fuzzers lower it.
void SetPicturePixelBudget(std::uint64_t pixels);
std::uint64_t PicturePixelBudget();
// Why the last failed picture read of this thread failed ("the picture is
// too large (20000 x 20000 pixels; at most 64 megapixels)", ...); "" after a
// success.
std::string LastPictureError();

// ---- image information -------------------------------------------------------------
using D3DXIMAGE_FILEFORMAT = DWORD;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_BMP = 0;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_JPG = 1;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_TGA = 2;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_PNG = 3;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_GIF = 9;     // our addition: GIF pictures load too
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_OTHER = 10;  // any other format the image readers know

// The picture in the file: its own size (not the texture's), depth 1, one mip
// level, format D3DFMT_A8R8G8B8 (D3DFMT_X8R8G8B8 without alpha), resource
// type D3DRTYPE_TEXTURE.
struct D3DXIMAGE_INFO {
  UINT Width = 0;
  UINT Height = 0;
  UINT Depth = 0;
  UINT MipLevels = 0;
  D3DFORMAT Format = D3DFMT_UNKNOWN;
  D3DRESOURCETYPE ResourceType = 0;
  D3DXIMAGE_FILEFORMAT ImageFileFormat = 0;
};

// Reads the header of an image file (BMP, GIF, JPEG, PNG; UTF-8 path).
// D3DERR_INVALIDCALL for null arguments, D3DERR_NOTAVAILABLE when the file
// cannot be read as a picture of those formats.
HRESULT D3DXGetImageInfoFromFileA(const char* file, D3DXIMAGE_INFO* info);

// ---- textures -------------------------------------------------------------------------
struct PALETTEENTRY;

// Decodes the file and makes a texture of it.
// - width, height: D3DX_DEFAULT (or 0) rounds the picture's size up to powers
//   of two; other values are taken as they are. Sides are capped at 4096
//   (larger pictures are scaled down to fit).
// - mipLevels: D3DX_DEFAULT or 0 a full chain; with D3DUSAGE_AUTOGENMIPMAP the
//   texture has one level and the back end derives the rest.
// - format: D3DFMT_A8B8G8R8 or D3DFMT_A8R8G8B8. filter, mipFilter: ignored
//   (smooth resampling).
// - colorKey (0xAARRGGBB, 0 none): texels exactly equal to it become
//   0x00000000, before resampling to the texture's size (a picture larger
//   than the texture is keyed at the size it was decoded to).
// - srcInfo (may be null): the picture's image information.
// - palette must be null.
// Fails cleanly (no texture, *texture null) when the file does not decode
// or is refused (see picture limits): D3DERR_NOTAVAILABLE, with
// LastPictureError saying why; with E_OUTOFMEMORY (counted, see
// OutOfMemory) when the decoded picture does not fit in memory; or with the
// device's error when creation fails.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);

// A blank texture (texels 0). mipLevels D3DX_DEFAULT or 0: full chain (one
// level with D3DUSAGE_AUTOGENMIPMAP). width/height D3DX_DEFAULT: 256.
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);

// ---- sprites -----------------------------------------------------------------------------
// Screen-space textured quads, in device pixels of the back buffer.
class ID3DXSprite : public IUnknown {
 public:
  // Starts a batch: with D3DXSPRITE_ALPHABLEND blending SRCALPHA/INVSRCALPHA;
  // always no lighting, fog, depth test or writes, or culling. The device's
  // state is saved here and put back by End. Begin inside a batch fails.
  virtual HRESULT Begin(DWORD flags) = 0;
  // The sprite transform applied to every following Draw (starts as identity).
  virtual HRESULT SetTransform(const D3DXMATRIX* transform) = 0;
  virtual HRESULT GetTransform(D3DXMATRIX* transform) = 0;
  // Draws the source rectangle (null: all of level 0) as a quad of its texel
  // size whose top-left corner is at position - center (nulls: the origin),
  // then transformed by the sprite transform. It covers exactly the pixels
  // [left, right) x [top, bottom) it transforms to. Texels are multiplied by
  // color (0xAARRGGBB); a null texture draws the colour alone. Only inside
  // Begin/End; drawing may be deferred until End.
  virtual HRESULT Draw(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* center,
                       const D3DXVECTOR3* position, D3DCOLOR color) = 0;
  // Ends the batch: draws what is pending and restores the device's state.
  virtual HRESULT End() = 0;
  // Around IDirect3DDevice9::Reset: let go of, then rebuild, device resources.
  virtual HRESULT OnLostDevice() = 0;
  virtual HRESULT OnResetDevice() = 0;
};

// The new sprite goes to *sprite; D3DERR_INVALIDCALL for null arguments.
HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite);

// ---- fonts ----------------------------------------------------------------------------------
struct D3DXFONT_DESCA {
  INT Height = 0;  // cell height in pixels (line height)
  UINT Width = 0;  // average character width, 0: the face's own
  UINT Weight = FW_NORMAL;
  UINT MipLevels = 1;
  BOOL Italic = 0;
  BYTE CharSet = DEFAULT_CHARSET;
  BYTE OutputPrecision = OUT_TT_ONLY_PRECIS;
  BYTE Quality = DEFAULT_QUALITY;
  BYTE PitchAndFamily = 0;
  char FaceName[32] = {};
};

class ID3DXFont : public IUnknown {
 public:
  // Draws UTF-8 text (count -1: up to the terminating zero) from the top-left
  // corner of *rect, one line per "\n", in color (0xAARRGGBB) blended like a
  // sprite; sprite may be null. With DT_NOCLIP right and bottom do not matter.
  // With DT_CALCRECT nothing is drawn and rect's right and bottom become left
  // + the widest line's width and top + lines x line height. Answers the
  // height of the text in pixels; 0 on failure.
  virtual INT DrawTextA(ID3DXSprite* sprite, const char* text, INT count, RECT* rect, DWORD format,
                        D3DCOLOR color) = 0;
  virtual HRESULT GetDescA(D3DXFONT_DESCA* desc) = 0;
  virtual HRESULT OnLostDevice() = 0;
  virtual HRESULT OnResetDevice() = 0;
};

// face is a family name ("Verdana", "Arial"); back ends map it to an
// installed family whose line height matches height. Returns through *font.
HRESULT D3DXCreateFontA(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels,
                        BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality,
                        DWORD pitchAndFamily, const char* face, ID3DXFont** font);
