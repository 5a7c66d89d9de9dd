// The D3DX subset: image information and textures from image files (decoded
// with Qt's image readers), blank textures, and the sprite and font creators
// that forward to the device's back end.
//
// Sections: picture limits - image reading - image information - textures -
// sprites and fonts
#include "platform/d3d9/d3dx9.h"

#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/d3d9/d3d9_resources.h"
#include "platform/data_file.h"

// ---- picture limits ------------------------------------------------------------------
namespace {
std::atomic<std::uint64_t> g_pixelBudget{kDefaultPicturePixelBudget};
thread_local std::string g_lastPictureError;

// Qt's own limit on one decoded image, in megabytes: what the budget needs
// at 4 bytes a pixel.
void SetAllocationLimitForBudget(std::uint64_t pixels) {
  QImageReader::setAllocationLimit(int(std::min<std::uint64_t>(pixels * 4 / (1024 * 1024) + 1, 1 << 20)));
}
}  // namespace

void SetPicturePixelBudget(std::uint64_t pixels) {
  g_pixelBudget = pixels;
  SetAllocationLimitForBudget(pixels);
}
std::uint64_t PicturePixelBudget() { return g_pixelBudget; }
std::string LastPictureError() { return g_lastPictureError; }

// ---- image reading ----------------------------------------------------------------
namespace {

constexpr UINT kMaxTextureSide = 4096;

HRESULT Refuse(const std::string& why) {
  g_lastPictureError = why;
  return D3DERR_NOTAVAILABLE;
}

// A picture file opened for reading: a regular file of one of the product's
// formats, its declared size known.
struct OpenPicture {
  QFile file;
  QImageReader reader;
  QByteArray format;
  QSize size;
};

HRESULT Open(const char* path, OpenPicture& picture) {
  static const bool limited = [] {
    SetAllocationLimitForBudget(g_pixelBudget);
    return true;
  }();
  (void)limited;
  std::string why;
  const int fd = OpenDataFile(path, kMaxPictureFileBytes, &why);
  if (fd < 0) return Refuse(std::string(path) + ": " + why);
  if (!picture.file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return Refuse(std::string(path) + ": the file cannot be opened");
  }
  picture.reader.setDevice(&picture.file);
  picture.reader.setDecideFormatFromContent(true);
  picture.format = picture.reader.format();
  if (picture.format != "bmp" && picture.format != "gif" && picture.format != "jpeg" &&
      picture.format != "png")
    return Refuse(std::string(path) + ": not a BMP, GIF, JPEG or PNG picture");
  picture.size = picture.reader.size();
  if (!picture.size.isValid() || picture.size.isEmpty())
    return Refuse(std::string(path) + ": the picture's size cannot be read");
  const std::uint64_t pixels = std::uint64_t(picture.size.width()) * std::uint64_t(picture.size.height());
  if (pixels > g_pixelBudget)
    return Refuse(std::string(path) + ": the picture is too large (" + std::to_string(picture.size.width()) +
                  " x " + std::to_string(picture.size.height()) + " pixels; at most " +
                  std::to_string(g_pixelBudget / (1 << 20)) + " megapixels)");
  g_lastPictureError.clear();
  return D3D_OK;
}

D3DXIMAGE_FILEFORMAT FileFormatOf(const QByteArray& format) {
  if (format == "bmp") return D3DXIFF_BMP;
  if (format == "jpeg" || format == "jpg") return D3DXIFF_JPG;
  if (format == "png") return D3DXIFF_PNG;
  if (format == "gif") return D3DXIFF_GIF;
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
  const UINT side =
      (requested == 0 || requested == D3DX_DEFAULT) ? RoundUpToPowerOfTwo(UINT(pictureSide)) : requested;
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
            : top.scaled(int(desc.Width), int(desc.Height), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
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
  OpenPicture picture;
  const HRESULT hr = Open(file, picture);
  if (FAILED(hr)) return hr;
  FillInfo(picture.size, FormatHasAlpha(picture.reader.imageFormat()), picture.format, info);
  return D3D_OK;
}

// ---- textures ------------------------------------------------------------------------
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD /*filter*/, DWORD /*mipFilter*/, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (!device || !file || palette) return D3DERR_INVALIDCALL;
  OpenPicture source;
  HRESULT hr = Open(file, source);
  if (FAILED(hr)) return hr;
  const UINT w = TextureSide(width, source.size.width());
  const UINT h = TextureSide(height, source.size.height());
  // Decoded no larger than the texture needs.
  if (UINT(source.size.width()) > w || UINT(source.size.height()) > h)
    source.reader.setScaledSize(
        QSize(int(std::min(UINT(source.size.width()), w)), int(std::min(UINT(source.size.height()), h))));
  QImage picture = source.reader.read();
  if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) {
    // The toolkit says no more when a picture of that size does not fit in
    // memory; a picture that does fit did not decode.
    const QSize decoded = source.reader.scaledSize().isValid() ? source.reader.scaledSize() : source.size;
    if (QImage(decoded, QImage::Format_ARGB32).isNull()) return OutOfMemory();
    return Refuse(std::string(file) + ": the picture cannot be decoded (" +
                  source.reader.errorString().toStdString() + ")");
  }
  const bool alpha = picture.hasAlphaChannel();
  picture = picture.convertToFormat(QImage::Format_ARGB32);
  if (picture.isNull()) return OutOfMemory();
  ApplyColorKey(picture, colorKey);

  QImage top = picture;
  if (UINT(picture.width()) != w || UINT(picture.height()) != h)
    top = picture.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
              .convertToFormat(QImage::Format_ARGB32);
  if (top.isNull()) return OutOfMemory();

  const UINT levels = (mipLevels == D3DX_DEFAULT) ? 0 : mipLevels;
  IDirect3DTexture9* made = nullptr;
  hr = device->CreateTexture(w, h, levels, usage, format, pool, &made, nullptr);
  if (FAILED(hr)) return hr;
  hr = FillLevels(made, top, format);
  if (FAILED(hr)) {
    made->Release();
    return hr;
  }
  if (srcInfo) FillInfo(source.size, alpha, source.format, srcInfo);
  *texture = made;
  return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
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

HRESULT D3DXCreateFontA(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels,
                        BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality,
                        DWORD pitchAndFamily, const char* face, ID3DXFont** font) {
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
