// The D3DX subset: image information and textures from image files (decoded
// with Qt's image readers), blank textures, and the sprite and font creators
// that forward to the device's back end.
//
// Sections: image reading - image information - textures - sprites and fonts
#include "platform/d3d9/d3dx9.h"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <cstring>

// ---- image reading ----------------------------------------------------------------
namespace {

constexpr UINT kMaxTextureSide = 4096;

void RaiseAllocationLimit() {
  static const bool raised = [] {
    QImageReader::setAllocationLimit(2048);  // megabytes: large photos load
    return true;
  }();
  (void)raised;
}

D3DXIMAGE_FILEFORMAT FileFormatOf(const QByteArray& format) {
  if (format == "bmp") return D3DXIFF_BMP;
  if (format == "jpeg" || format == "jpg") return D3DXIFF_JPG;
  if (format == "png") return D3DXIFF_PNG;
  if (format == "gif") return D3DXIFF_GIF;
  if (format == "tga") return D3DXIFF_TGA;
  return D3DXIFF_OTHER;
}

void FillInfo(const QSize& size, bool alpha, const QByteArray& format, D3DXIMAGE_INFO* info) {
  *info = {};
  info->Width = UINT(size.width());
  info->Height = UINT(size.height());
  info->Depth = 1;
  info->MipLevels = 1;
  info->Format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  info->ResourceType = D3DRTYPE_TEXTURE;
  info->ImageFileFormat = FileFormatOf(format);
}

bool FormatHasAlpha(QImage::Format format) {
  return QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha;
}

UINT RoundUpToPowerOfTwo(UINT side) {
  UINT p = 1;
  while (p < side && p < kMaxTextureSide) p <<= 1;
  return p;
}

UINT TextureSide(UINT requested, int pictureSide) {
  const UINT side = (requested == 0 || requested == D3DX_DEFAULT)
                        ? RoundUpToPowerOfTwo(UINT(pictureSide))
                        : requested;
  return std::min(side, kMaxTextureSide);
}

// Exact 0xAARRGGBB matches become 0x00000000.
void ApplyColorKey(QImage& image, D3DCOLOR key) {
  if (key == 0) return;
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (row[x] == key) row[x] = 0;
  }
}

// Copies an ARGB32 image of the level's size into the locked level.
void WriteTexels(const QImage& image, D3DFORMAT format, const D3DLOCKED_RECT& locked) {
  for (int y = 0; y < image.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    auto* dst = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
    for (int x = 0; x < image.width(); ++x) {
      const DWORD argb = src[x];
      if (format == D3DFMT_A8B8G8R8 || format == D3DFMT_X8B8G8R8)
        dst[x] = (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
      else
        dst[x] = argb;
    }
  }
}

HRESULT FillLevels(IDirect3DTexture9* texture, const QImage& top, D3DFORMAT format) {
  const DWORD levels = texture->GetLevelCount();
  for (DWORD level = 0; level < levels; ++level) {
    D3DSURFACE_DESC desc;
    HRESULT hr = texture->GetLevelDesc(level, &desc);
    if (FAILED(hr)) return hr;
    const QImage image =
        (UINT(top.width()) == desc.Width && UINT(top.height()) == desc.Height)
            ? top
            : top.scaled(int(desc.Width), int(desc.Height), Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation)
                  .convertToFormat(QImage::Format_ARGB32);
    D3DLOCKED_RECT locked;
    hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    WriteTexels(image, format, locked);
    texture->UnlockRect(level);
  }
  return D3D_OK;
}

}  // namespace

// ---- image information ------------------------------------------------------------
HRESULT D3DXGetImageInfoFromFileA(const char* file, D3DXIMAGE_INFO* info) {
  if (!file || !info) return D3DERR_INVALIDCALL;
  RaiseAllocationLimit();
  QImageReader reader(QString::fromUtf8(file));
  if (!reader.canRead()) return D3DERR_NOTAVAILABLE;
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) return D3DERR_NOTAVAILABLE;
  FillInfo(size, FormatHasAlpha(reader.imageFormat()), reader.format(), info);
  return D3D_OK;
}

// ---- textures ------------------------------------------------------------------------
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width,
                                     UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool, DWORD /*filter*/, DWORD /*mipFilter*/,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                     PALETTEENTRY* palette, IDirect3DTexture9** texture) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (!device || !file || palette) return D3DERR_INVALIDCALL;
  RaiseAllocationLimit();
  QImageReader reader(QString::fromUtf8(file));
  const QByteArray fileFormat = reader.format();
  QImage picture = reader.read();
  if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
    return D3DERR_NOTAVAILABLE;
  const bool alpha = picture.hasAlphaChannel();
  picture = picture.convertToFormat(QImage::Format_ARGB32);
  if (picture.isNull()) return E_OUTOFMEMORY;
  ApplyColorKey(picture, colorKey);

  const UINT w = TextureSide(width, picture.width());
  const UINT h = TextureSide(height, picture.height());
  QImage top = picture;
  if (UINT(picture.width()) != w || UINT(picture.height()) != h)
    top = picture.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
              .convertToFormat(QImage::Format_ARGB32);
  if (top.isNull()) return E_OUTOFMEMORY;

  const UINT levels = (mipLevels == D3DX_DEFAULT) ? 0 : mipLevels;
  IDirect3DTexture9* made = nullptr;
  HRESULT hr = device->CreateTexture(w, h, levels, usage, format, pool, &made, nullptr);
  if (FAILED(hr)) return hr;
  hr = FillLevels(made, top, format);
  if (FAILED(hr)) {
    made->Release();
    return hr;
  }
  if (srcInfo) FillInfo(picture.size(), alpha, fileFormat, srcInfo);
  *texture = made;
  return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels,
                          DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (!device) return D3DERR_INVALIDCALL;
  if (width == D3DX_DEFAULT) width = 256;
  if (height == D3DX_DEFAULT) height = 256;
  if (mipLevels == D3DX_DEFAULT) mipLevels = 0;
  return device->CreateTexture(width, height, mipLevels, usage, format, pool, texture, nullptr);
}

// ---- sprites and fonts -------------------------------------------------------------------
HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite) {
  if (!sprite) return D3DERR_INVALIDCALL;
  *sprite = nullptr;
  if (!device) return D3DERR_INVALIDCALL;
  return device->CreateD3DXSprite(sprite);
}

HRESULT D3DXCreateFontA(IDirect3DDevice9* device, INT height, UINT width, UINT weight,
                        UINT mipLevels, BOOL italic, DWORD charSet, DWORD outputPrecision,
                        DWORD quality, DWORD pitchAndFamily, const char* face, ID3DXFont** font) {
  if (!font) return D3DERR_INVALIDCALL;
  *font = nullptr;
  if (!device || !face) return D3DERR_INVALIDCALL;
  D3DXFONT_DESCA desc;
  desc.Height = height;
  desc.Width = width;
  desc.Weight = weight;
  desc.MipLevels = mipLevels;
  desc.Italic = italic;
  desc.CharSet = BYTE(charSet);
  desc.OutputPrecision = BYTE(outputPrecision);
  desc.Quality = BYTE(quality);
  desc.PitchAndFamily = BYTE(pitchAndFamily);
  std::strncpy(desc.FaceName, face, sizeof desc.FaceName - 1);
  return device->CreateD3DXFont(desc, font);
}
