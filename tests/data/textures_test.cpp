// Every texture of the installation loads, has the size its screen expects
// (interface art at power-of-two sizes, since the texture loader rounds
// sizes up and the screens take rectangles from the loaded size) and the
// transparency its loader expects: magenta where the colour key applies,
// alpha where it does not, and no stray magenta where the key would punch
// holes into a picture meant to be opaque.
#include <gtest/gtest.h>

#include <QImage>

#include "data_files.h"

namespace {

constexpr QRgb kKey = 0xFFFF00FFu;

enum class Look {
  Opaque,       // every pixel opaque, none of them the key colour
  Keyed,        // transparent parts are opaque magenta (loaded with the key)
  Alpha,        // transparent parts by alpha only; never the key colour
  Translucent,  // partly transparent throughout, never the key colour
};

struct PixelCensus {
  int key = 0, clear = 0, clearNotKey = 0, partial = 0, opaque = 0;
};

PixelCensus Count(const QImage& image) {
  PixelCensus c;
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y)
    for (int x = 0; x < argb.width(); ++x) {
      const QRgb p = argb.pixel(x, y);
      const int a = qAlpha(p);
      if (p == kKey) ++c.key;
      if (a == 0) ++c.clear;
      if (a == 0 && p != kKey) ++c.clearNotKey;
      if (a > 0 && a < 255) ++c.partial;
      if (a == 255) ++c.opaque;
    }
  return c;
}

struct Texture {
  const char* file;
  int width, height;  // 0: any power of two
  Look look;
};

const Texture kTextures[] = {
    {"PieceEdge.png", 0, 0, Look::Opaque},
    {"PieceBottom.png", 0, 0, Look::Opaque},
    {"PieceSelectionFill.png", 0, 0, Look::Translucent},
    {"PieceSelectionMark.png", 0, 0, Look::Alpha},
    {"StartMenuBackgroundEarth.png", 1024, 1024, Look::Opaque},
    {"StartMenuBackgroundFill.png", 0, 0, Look::Opaque},
    {"StartMenuButtonNewPuzzle.png", 64, 64, Look::Keyed},
    {"StartMenuButtonLoadPuzzle.png", 64, 64, Look::Keyed},
    {"StartMenuButtonHelp.png", 64, 64, Look::Keyed},
    {"StartMenuButtonExit.png", 64, 64, Look::Keyed},
    {"MenuBarStartMenuBackground.png", 0, 0, Look::Keyed},
    {"MenuBarStartMenuTitle.png", 0, 0, Look::Keyed},
    {"MenuBarPlayBackground.png", 0, 0, Look::Opaque},
    {"IconMenu.png", 32, 32, Look::Alpha},
    {"IconSave.png", 32, 32, Look::Alpha},
    {"IconGameInfo.png", 32, 32, Look::Alpha},
    {"IconPreview.png", 32, 32, Look::Alpha},
    {"IconCommandHelper.png", 32, 32, Look::Alpha},
    {"IconHelp.png", 32, 32, Look::Alpha},
    {"IconFullscreen.png", 32, 32, Look::Alpha},
    {"IconMinimize.png", 32, 32, Look::Alpha},
    {"IconResizeGrip.png", 16, 16, Look::Keyed},
    {"CloseButton.png", 16, 16, Look::Keyed},
};

TEST(DataTextures, EveryTextureLoadsWithItsSizeAndTransparency) {
  for (const Texture& t : kTextures) {
    SCOPED_TRACE(t.file);
    const QImage image = datatest::LoadPicture(datatest::InstalledPath(std::string("Textures/") + t.file));
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(datatest::IsPowerOfTwo(image.width()) && datatest::IsPowerOfTwo(image.height()))
        << image.width() << " x " << image.height();
    if (t.width) {
      EXPECT_EQ(image.width(), t.width);
      EXPECT_EQ(image.height(), t.height);
    }
    const PixelCensus c = Count(image);
    const int all = image.width() * image.height();
    switch (t.look) {
      case Look::Opaque:
        EXPECT_EQ(c.opaque, all);
        EXPECT_EQ(c.key, 0);
        break;
      case Look::Keyed:
        EXPECT_GT(c.key, 0);
        EXPECT_EQ(c.clearNotKey, 0);                        // a loader that only knows the key shows no holes
        EXPECT_GT(c.opaque + c.partial - c.key, all / 40);  // and something is drawn
        break;
      case Look::Alpha:
        EXPECT_GT(c.clear, 0);
        EXPECT_EQ(c.key, 0);
        EXPECT_GT(c.opaque + c.partial, all / 40);
        break;
      case Look::Translucent:
        EXPECT_EQ(c.key, 0);
        EXPECT_GT(c.partial, all / 2);
        break;
    }
  }
}

TEST(DataTextures, StartScreenFillContinuesTheGlobeBackground) {
  // The fill is stretched from the window's left edge up to the globe
  // picture: both must show the same colour where they meet.
  const QImage globe =
      datatest::LoadPicture(datatest::InstalledPath("Textures/StartMenuBackgroundEarth.png"));
  const QImage fill = datatest::LoadPicture(datatest::InstalledPath("Textures/StartMenuBackgroundFill.png"));
  ASSERT_FALSE(globe.isNull());
  ASSERT_FALSE(fill.isNull());
  for (int row = 0; row < 16; ++row) {
    const int gy = row * globe.height() / 16, fy = row * fill.height() / 16;
    const QRgb g = globe.pixel(0, gy), f = fill.pixel(fill.width() - 1, fy);
    EXPECT_LE(std::abs(qRed(g) - qRed(f)) + std::abs(qGreen(g) - qGreen(f)) + std::abs(qBlue(g) - qBlue(f)),
              6)
        << "row " << gy;
  }
}

TEST(DataTextures, PieceTexturesRepeatWithoutSeams) {
  // The side wall repeats along the wall, the back in both directions.
  const struct {
    const char* file;
    bool vertical;
  } cases[] = {{"PieceEdge.png", false}, {"PieceBottom.png", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const QImage image = datatest::LoadPicture(datatest::InstalledPath(std::string("Textures/") + c.file));
    ASSERT_FALSE(image.isNull());
    auto step = [&](QRgb a, QRgb b) {
      return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
    };
    // The jump across the seam is no larger than between ordinary neighbours.
    long seam = 0, inner = 0;
    for (int y = 0; y < image.height(); ++y) {
      seam += step(image.pixel(image.width() - 1, y), image.pixel(0, y));
      inner += step(image.pixel(image.width() / 2 - 1, y), image.pixel(image.width() / 2, y));
    }
    EXPECT_LE(seam, inner * 3 + image.height() * 3);
    if (!c.vertical) continue;
    seam = inner = 0;
    for (int x = 0; x < image.width(); ++x) {
      seam += step(image.pixel(x, image.height() - 1), image.pixel(x, 0));
      inner += step(image.pixel(x, image.height() / 2 - 1), image.pixel(x, image.height() / 2));
    }
    EXPECT_LE(seam, inner * 3 + image.width() * 3);
  }
}

}  // namespace
