// The D3DX subset over the recording device: textures from image files,
// image information, blank textures, and the recording sprite and font.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QImage>
#include <cstdint>

#include "picture_bombs.h"
#include "platform/d3d9/recording/recording_device.h"
#include "refused_calls.h"
#include "testkit.h"

namespace {

class D3DXTest : public ::testing::Test, public RefusedCallCheck {
 protected:
  void SetUp() override {
    m_d3d = Direct3DCreate9Recording(&m_script);
    D3DPRESENT_PARAMETERS p;
    p.Windowed = 1;
    ASSERT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, &m_window, 0, &p, &m_device), D3D_OK);
  }
  void TearDown() override {
    CheckRefusedCalls(m_script);
    if (m_texture) m_texture->Release();
    m_device->Release();
    m_d3d->Release();
  }
  std::string Save(const QImage& image, const char* name) {
    const std::string path = m_dir / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path))) << name;
    return path;
  }
  HRESULT Load(const std::string& path, UINT width = D3DX_DEFAULT, UINT height = D3DX_DEFAULT,
               UINT levels = 1, DWORD usage = D3DUSAGE_AUTOGENMIPMAP, D3DCOLOR key = 0) {
    if (m_texture) m_texture->Release();
    m_texture = nullptr;
    return D3DXCreateTextureFromFileExA(m_device, path.c_str(), width, height, levels, usage, D3DFMT_A8B8G8R8,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, key, &m_info, nullptr,
                                        &m_texture);
  }
  D3DSURFACE_DESC Level(UINT level) {
    D3DSURFACE_DESC desc;
    m_texture->GetLevelDesc(level, &desc);
    return desc;
  }
  std::vector<DWORD> Texels(UINT level) {
    const D3DSURFACE_DESC desc = Level(level);
    D3DLOCKED_RECT locked;
    m_texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY);
    const auto* first = static_cast<const DWORD*>(locked.pBits);
    std::vector<DWORD> texels(first, first + desc.Width * desc.Height);
    m_texture->UnlockRect(level);
    return texels;
  }

  testkit::TempDir m_dir;
  RecordingScript m_script;
  RecordingWindow m_window;
  IDirect3D9* m_d3d = nullptr;
  IDirect3DDevice9* m_device = nullptr;
  IDirect3DTexture9* m_texture = nullptr;
  D3DXIMAGE_INFO m_info;
};

}  // namespace

TEST_F(D3DXTest, DefaultSizesRoundUpToPowersOfTwoCappedAt4096) {
  struct Case {
    int width, height;
    UINT textureWidth, textureHeight;
  } const cases[] = {{300, 200, 512, 256}, {64, 64, 64, 64}, {1, 3, 1, 4}, {5000, 3, 4096, 4}};
  for (const Case& c : cases) {
    QImage picture(c.width, c.height, QImage::Format_RGB32);
    picture.fill(0xFF00FF00);
    ASSERT_EQ(Load(Save(picture, "p.png")), D3D_OK) << c.width;
    EXPECT_EQ(Level(0).Width, c.textureWidth) << c.width;
    EXPECT_EQ(Level(0).Height, c.textureHeight) << c.width;
    EXPECT_EQ(m_info.Width, UINT(c.width));
    EXPECT_EQ(m_info.Height, UINT(c.height));
    EXPECT_EQ(m_info.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Texels(0)[0], 0xFF00FF00u);
  }
  QImage picture(30, 20, QImage::Format_RGB32);
  ASSERT_EQ(Load(Save(picture, "p.png"), 30, 20), D3D_OK);  // given sizes are kept
  EXPECT_EQ(Level(0).Width, 30u);
}

TEST_F(D3DXTest, MipChainLevelsAreFilledFromThePicture) {
  QImage picture(8, 4, QImage::Format_ARGB32);
  picture.fill(0x80FF0000);
  ASSERT_EQ(Load(Save(picture, "red.png"), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0), D3D_OK);
  ASSERT_EQ(m_texture->GetLevelCount(), 4u);
  EXPECT_EQ(Level(3).Width, 1u);
  EXPECT_EQ(Texels(2), std::vector<DWORD>(2, 0x800000FFu));
  EXPECT_EQ(m_info.Format, D3DFMT_A8R8G8B8);
}

TEST_F(D3DXTest, ColourKeyIsAppliedBeforeResampling) {
  QImage picture(3, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, 0xFFFF00FF);
  picture.setPixel(1, 0, 0xFFFFFFFF);
  picture.setPixel(2, 0, 0xFFFF00FF);
  ASSERT_EQ(Load(Save(picture, "key.bmp"), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, 0xFFFF00FF), D3D_OK);
  EXPECT_EQ(m_info.ImageFileFormat, D3DXIFF_BMP);
  for (DWORD texel : Texels(0)) {
    const DWORD alpha = texel >> 24, green = (texel >> 8) & 0xFF;
    // Magenta would show as opaque with little green; keyed texels are clear.
    EXPECT_FALSE(alpha > 0x80 && green < 0x80) << std::hex << texel;
  }
  EXPECT_EQ(Texels(0).front(), 0u);
}

TEST_F(D3DXTest, FilesThatDoNotDecodeFailCleanly) {
  auto* out = reinterpret_cast<IDirect3DTexture9*>(std::uintptr_t{1});  // must be cleared
  const std::string bad = m_dir.WriteFile("bad.jpg", "\xFF\xD8 this is not a jpeg");
  EXPECT_EQ(
      D3DXCreateTextureFromFileExA(m_device, bad.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_A8B8G8R8,
                                   D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &m_info, nullptr, &out),
      D3DERR_NOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(Load(m_dir / "missing.png"), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(m_script.m_log.Count("CreateTexture"), 0);
  D3DXIMAGE_INFO info;
  EXPECT_EQ(D3DXGetImageInfoFromFileA((m_dir / "missing.png").c_str(), &info), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(D3DXGetImageInfoFromFileA(nullptr, &info), D3DERR_INVALIDCALL);
}

// A few bytes may declare a picture of gigabytes: the declared size is read
// first and a picture above the pixel budget is refused before decoding.
TEST_F(D3DXTest, PictureBombsAreRefusedBeforeDecoding) {
  for (const auto& bomb : picture_bombs::All()) {
    SCOPED_TRACE(bomb.name);
    const std::string path = m_dir.WriteFile(bomb.name, bomb.bytes.toStdString());
    EXPECT_EQ(Load(path), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(m_texture, nullptr);
    EXPECT_NE(LastPictureError().find("too large"), std::string::npos) << LastPictureError();
  }
  EXPECT_EQ(m_script.m_log.Count("CreateTexture"), 0);
}

TEST_F(D3DXTest, PixelBudgetAndTextureSizeBoundTheDecoding) {
  SetPicturePixelBudget(1000);
  QImage picture(40, 40, QImage::Format_RGB32);
  EXPECT_EQ(Load(Save(picture, "40.png")), D3DERR_NOTAVAILABLE);
  EXPECT_NE(LastPictureError().find("40 x 40"), std::string::npos) << LastPictureError();
  picture = QImage(30, 30, QImage::Format_RGB32);
  EXPECT_EQ(Load(Save(picture, "30.png")), D3D_OK);
  EXPECT_EQ(LastPictureError(), "");
  SetPicturePixelBudget(kDefaultPicturePixelBudget);

  // Wider than a texture may be: decoded at the texture's width, reported at
  // its own.
  picture = QImage(6000, 50, QImage::Format_RGB32);
  picture.fill(0xFF2040F0);
  ASSERT_EQ(Load(Save(picture, "wide.jpg")), D3D_OK);
  EXPECT_EQ(m_info.Width, 6000u);
  EXPECT_EQ(Level(0).Width, 4096u);
  EXPECT_EQ(Level(0).Height, 64u);
}

// The content decides the format, not the extension; only the product's
// four formats are decoded, and only from regular files.
TEST_F(D3DXTest, OnlyBmpGifJpegAndPngFromRegularFilesAreRead) {
  QImage picture(8, 8, QImage::Format_RGB32);
  picture.fill(0xFF00FF00);
  const std::string png = m_dir / "really_png.jpg";
  ASSERT_TRUE(picture.save(QString::fromStdString(png), "PNG"));
  ASSERT_EQ(Load(png), D3D_OK);
  EXPECT_EQ(m_info.ImageFileFormat, D3DXIFF_PNG);
  const std::string ppm = m_dir / "portable.png";
  ASSERT_TRUE(picture.save(QString::fromStdString(ppm), "PPM"));
  EXPECT_EQ(Load(ppm), D3DERR_NOTAVAILABLE);
  EXPECT_NE(LastPictureError().find("not a BMP, GIF, JPEG or PNG"), std::string::npos) << LastPictureError();
  D3DXIMAGE_INFO info;
  EXPECT_EQ(D3DXGetImageInfoFromFileA(ppm.c_str(), &info), D3DERR_NOTAVAILABLE);
  ASSERT_EQ(::mkfifo((m_dir / "pipe.png").c_str(), 0600), 0);
  EXPECT_EQ(Load(m_dir / "pipe.png"), D3DERR_NOTAVAILABLE);  // returns at once
  EXPECT_NE(LastPictureError().find("not a regular file"), std::string::npos) << LastPictureError();
  EXPECT_EQ(D3DXGetImageInfoFromFileA((m_dir / "pipe.png").c_str(), &info), D3DERR_NOTAVAILABLE);
}

TEST_F(D3DXTest, FailedLevelFillReleasesTheTexture) {
  QImage picture(4, 4, QImage::Format_RGB32);
  const std::string path = Save(picture, "p.png");
  m_script.m_failAllLocks = true;
  EXPECT_EQ(Load(path), D3DERR_INVALIDCALL);
  EXPECT_EQ(m_texture, nullptr);  // and ASan sees no leak
}

TEST_F(D3DXTest, ImageInformationReadsTheHeader) {
  QImage picture(300, 200, QImage::Format_RGB32);
  picture.fill(Qt::gray);
  D3DXIMAGE_INFO info;
  ASSERT_EQ(D3DXGetImageInfoFromFileA(Save(picture, "photo.jpg").c_str(), &info), D3D_OK);
  EXPECT_EQ(info.Width, 300u);
  EXPECT_EQ(info.Height, 200u);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
  EXPECT_EQ(info.Depth, 1u);
  EXPECT_EQ(info.MipLevels, 1u);
}

TEST_F(D3DXTest, BlankTexturesTakeDefaults) {
  ASSERT_EQ(
      D3DXCreateTexture(m_device, 32, 32, D3DX_DEFAULT, 0, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED, &m_texture),
      D3D_OK);
  EXPECT_EQ(m_texture->GetLevelCount(), 6u);
  EXPECT_EQ(Texels(0), std::vector<DWORD>(32 * 32, 0u));
  m_script.m_failResourceCreation = true;
  IDirect3DTexture9* failed = nullptr;
  EXPECT_EQ(D3DXCreateTexture(m_device, 32, 32, 1, 0, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED, &failed),
            D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(failed, nullptr);
}

TEST_F(D3DXTest, RecordingFontMeasuresWidestLineTimesLines) {
  ID3DXFont* font = nullptr;
  ASSERT_EQ(D3DXCreateFontA(m_device, 10, 6, FW_NORMAL, 1, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                            DEFAULT_QUALITY, 0, "Verdana", &font),
            D3D_OK);
  struct Case {
    const char* text;
    LONG width, height;
  } const cases[] = {{"ab\nabcd", 24, 20}, {"\xC3\xA9t\xC3\xA9", 18, 10}, {"a\n", 6, 20}};
  for (const Case& c : cases) {
    RECT rect{5, 7, 5, 7};
    EXPECT_EQ(font->DrawTextA(nullptr, c.text, -1, &rect, DT_CALCRECT, 0xFFFFFFFF), c.height);
    EXPECT_EQ(rect, (RECT{5, 7, 5 + c.width, 7 + c.height})) << c.text;
  }
  EXPECT_TRUE(m_script.m_textDraws.empty());  // measuring draws nothing
  D3DXFONT_DESCA desc;
  font->GetDescA(&desc);
  EXPECT_STREQ(desc.FaceName, "Verdana");
  font->Release();
}

TEST_F(D3DXTest, RecordingSpriteDrawsOnlyInsideABatch) {
  ExpectRefusedCalls(3);  // a draw outside the batch, a second Begin, a second End
  ID3DXSprite* sprite = nullptr;
  ASSERT_EQ(D3DXCreateSprite(m_device, &sprite), D3D_OK);
  EXPECT_EQ(sprite->Draw(nullptr, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3DERR_INVALIDCALL);
  EXPECT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
  EXPECT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3DERR_INVALIDCALL);
  const D3DXVECTOR3 position(5, 6, 0);
  EXPECT_EQ(sprite->Draw(nullptr, nullptr, nullptr, &position, 0x80FFFFFF), D3D_OK);
  EXPECT_EQ(sprite->End(), D3D_OK);
  EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL);
  ASSERT_EQ(m_script.m_spriteDraws.size(), 1u);
  EXPECT_EQ(m_script.m_spriteDraws[0].position, position);
  sprite->Release();
}
