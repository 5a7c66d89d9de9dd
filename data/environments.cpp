// The table environments: one description file per table (UTF-8 XML with an
// Environment element holding the two names, the texture file name and the
// tile width in table units) and its seamless table texture. "001.txt" is
// the default table.
//
// Sections: textures - descriptions
#include <cmath>
#include <string>

#include "data/draw_kit.h"
#include "data/makedata.h"

namespace makedata {

namespace {
constexpr int kTile = 512;
constexpr float kTwoPi = 6.2831853f;

using TexelFunction = Rgb (*)(float u, float v, int x, int y);

QImage TableTexture(TexelFunction texel) {
  QImage image = NewImage(kTile, kTile, false);
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x)
      SetPixel(image, x, y, texel((x + 0.5f) / kTile, (y + 0.5f) / kTile, x, y));
  return image;
}

// ---- textures ------------------------------------------------------------------
// Four oak planks along the table, each with one butt joint; every noise
// wraps at the tile's edges.
Rgb Oak(float u, float v, int x, int y) {
  const int plank = static_cast<int>(v * 4);
  const float across = v * 4 - plank;
  const float joint = Hash2(plank, 0, 601);
  const float along = u - joint - std::floor(u - joint);
  const float tone = 0.9f + 0.2f * Hash2(plank, 1, 602);
  const float warp = Fbm2(along * 3, across * 2 + plank * 7, 4, 603, 3, 0);
  const float rings = std::sin((across * 9.0f + 2.2f * warp + plank * 1.7f) * kTwoPi);
  const float figure = 0.5f + 0.5f * rings;
  const float streaks = Clamp01(0.5f + Noise2(along * 24, across * 40 + plank * 5, 605, 24, 0));
  const float pores = Noise2(along * 96, across * 5 + plank * 11, 604, 96, 0);
  Rgb c = Mix(RgbHex(0xcf9c62), RgbHex(0x8f5c2f), std::pow(figure, 3.0f) * 0.55f + 0.12f * streaks);
  c = Scale(c, tone * (1.0f + 0.07f * pores));
  const float edge = std::min(across, 1 - across) * kTile / 4;  // pixels to the plank's side
  const float butt = std::min(along, 1 - along) * kTile;
  if (edge < 1.5f || butt < 1.0f)
    c = Scale(c, 0.35f);
  else if (edge < 3.5f)
    c = Scale(c, 0.8f);
  (void)x;
  (void)y;
  return c;
}

Rgb Felt(float u, float v, int x, int y) {
  const float cloud = Fbm2(u * 6, v * 6, 4, 611, 6, 6);
  const float fibres = Hash2(x, y, 612) - 0.5f;
  const float tufts = Noise2(u * 64, v * 64, 613, 64, 64);
  return Scale(RgbHex(0x1f6e3d), 1.0f + 0.06f * cloud + 0.16f * fibres + 0.08f * tufts);
}

Rgb Slate(float u, float v, int x, int y) {
  const float layers = Fbm2(u * 2, v * 8, 5, 621, 2, 8);
  const float ridged = 1.0f - std::fabs(Fbm2(u * 4, v * 4, 5, 622, 4, 4));
  const float grit = Hash2(x, y, 623) - 0.5f;
  Rgb c = Mix(RgbHex(0x3b4450), RgbHex(0x55606d), Clamp01(0.5f + 0.6f * layers));
  c = Mix(c, RgbHex(0x2b323b), SmoothStep(0.75f, 0.98f, ridged) * 0.6f);
  return Scale(c, 1.0f + 0.05f * grit);
}

Rgb Marble(float u, float v, int x, int y) {
  const float turbulence = Fbm2(u * 3, v * 3, 6, 631, 3, 3);
  const float vein = std::fabs(std::sin((u + v + 0.9f * turbulence) * kTwoPi * 1.0f));
  const float fine = std::fabs(std::sin((u * 2 - v * 3 + 0.6f * Fbm2(u * 6, v * 6, 4, 632, 6, 6)) * kTwoPi));
  Rgb c = Mix(RgbHex(0xf3f1ec), RgbHex(0xdcdad5), Clamp01(0.5f + 0.5f * turbulence));
  c = Mix(c, RgbHex(0x6f7277), std::pow(1.0f - vein, 7.0f) * 0.6f);
  c = Mix(c, RgbHex(0xa3a6ab), std::pow(1.0f - fine, 28.0f) * 0.6f);
  return Scale(c, 1.0f + 0.015f * (Hash2(x, y, 633) - 0.5f));
}

Rgb Cork(float u, float v, int x, int y) {
  const float granules = Noise2(u * 48, v * 48, 641, 48, 48);
  const float fine = Noise2(u * 128, v * 128, 642, 128, 128);
  const float tone = Fbm2(u * 4, v * 4, 3, 643, 4, 4);
  Rgb c = Mix(RgbHex(0xc08a55), RgbHex(0x8d5a2f), Clamp01(0.5f + 0.7f * granules));
  c = Scale(c, 1.0f + 0.12f * fine + 0.06f * tone);
  if (Hash2(x, y, 644) > 0.992f) c = Scale(c, 0.55f);  // dark pits
  return c;
}

// ---- descriptions --------------------------------------------------------------
struct Table {
  const char* file;
  const char* nameEnglish;
  const char* nameFrench;
  const char* texture;
  int tileWidth;
  TexelFunction texel;
};

std::string Description(const Table& t) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n") + "<Environment>\r\n" +
         "  <NameEnglish>" + t.nameEnglish + "</NameEnglish>\r\n" + "  <NameFrench>" + t.nameFrench +
         "</NameFrench>\r\n" + "  <TextureFileName>" + t.texture + "</TextureFileName>\r\n" + "  <Width>" +
         std::to_string(t.tileWidth) + "</Width>\r\n" + "</Environment>\r\n";
}
}  // namespace

void MakeEnvironments(Output& out) {
  const Table tables[] = {
      {"001.txt", "Oak Table", "Table en chêne", "Oak.jpg", 600, Oak},
      {"002.txt", "Green Felt", "Feutre vert", "GreenFelt.jpg", 160, Felt},
      {"003.txt", "Slate", "Ardoise", "Slate.jpg", 700, Slate},
      {"004.txt", "White Marble", "Marbre blanc", "Marble.jpg", 900, Marble},
      {"005.txt", "Cork Board", "Plaque de liège", "Cork.jpg", 260, Cork},
  };
  for (const Table& t : tables) {
    out.SaveBytes(Description(t), QString("Environments/") + t.file);
    out.SaveImage(TableTexture(t.texel), QString("Environments/Textures/") + t.texture, 90);
  }
}

}  // namespace makedata
