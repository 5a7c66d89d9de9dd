// A demonstration render for a person to judge: a lit, textured table with
// bevelled, picture-textured tiles (some joined, some scattered), colour-keyed
// sprite icons, a translucent panel and shadowed text with accents. Written
// to <build>/demo/device/gl_demo.png.
//
// Sections: pictures - bevelled tiles - the scene - the test
#include <gtest/gtest.h>

#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <cstring>

#include "demo_picture.h"
#include "gl_test_support.h"
#include "testkit.h"

using namespace gltest;

namespace {

// ---- pictures -----------------------------------------------------------------------
QImage ScenePicture() {
  QImage image(512, 512, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient sky(0, 0, 0, 300);
  sky.setColorAt(0, QColor(40, 90, 190));
  sky.setColorAt(1, QColor(250, 190, 120));
  p.fillRect(image.rect(), sky);
  QRadialGradient sun(360, 170, 70);
  sun.setColorAt(0, QColor(255, 250, 210));
  sun.setColorAt(1, QColor(255, 160, 60, 0));
  p.setBrush(sun);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(360, 170), 70, 70);
  p.setBrush(QColor(40, 110, 60));
  QPolygonF hills;
  hills << QPointF(0, 512);
  for (int x = 0; x <= 512; x += 16)
    hills << QPointF(x, 300 + 40 * std::sin(x / 60.0) + 20 * std::sin(x / 23.0));
  hills << QPointF(512, 512);
  p.drawPolygon(hills);
  p.setBrush(QColor(20, 70, 140));
  p.drawRect(0, 430, 512, 82);
  for (int i = 0; i < 12; ++i) {
    p.setBrush(QColor(230, 60 + i * 12, 40));
    p.drawEllipse(QPointF(30 + i * 40, 380 + 10 * std::sin(i)), 9, 9);
  }
  return image;
}

QImage WoodPicture() {
  QImage image(256, 256, QImage::Format_RGB32);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      // Periodic in both directions, so the repeated texture shows no seams.
      const double k = 2 * M_PI / 256;
      const double grain =
          std::sin(x * k * 6 + 1.5 * std::sin(y * k * 2) + 0.8 * std::sin(x * k * 1 + y * k * 3));
      const int v = static_cast<int>(20 * grain);
      image.setPixel(x, y, qRgb(150 + v, 100 + v * 3 / 4, 60 + v / 2));
    }
  return image;
}

// An icon on opaque magenta, which the colour key turns transparent.
QImage IconPicture() {
  QImage image(64, 64, QImage::Format_RGB32);
  image.fill(qRgb(255, 0, 255));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 170, 30));
  p.drawEllipse(6, 6, 52, 52);
  p.setBrush(QColor(255, 255, 255));
  QPolygon star;
  for (int i = 0; i < 10; ++i) {
    const double a = i * M_PI / 5 - M_PI / 2, r = (i % 2) ? 9 : 20;
    star << QPoint(32 + int(r * std::cos(a)), 32 + int(r * std::sin(a)));
  }
  p.drawPolygon(star);
  return image;
}

IDirect3DTexture9* LoadTexture(IDirect3DDevice9* device, const std::string& path, D3DCOLOR key) {
  IDirect3DTexture9* texture = nullptr;
  D3DXCreateTextureFromFileExA(device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DUSAGE_AUTOGENMIPMAP,
                               D3DFMT_A8B8G8R8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, key, nullptr,
                               nullptr, &texture);
  return texture;
}

// ---- bevelled tiles -------------------------------------------------------------------
// Adds a quad a b c d (in order round its edge) facing along normal.
void AddQuad(MeshData& mesh, const D3DXVECTOR3 (&p)[4], D3DXVECTOR3 normal, const float (&uv)[4][2]) {
  D3DXVec3Normalize(&normal, &normal);
  const WORD base = WORD(mesh.vertices.size());
  for (int i = 0; i < 4; ++i)
    mesh.vertices.push_back(
        {p[i].x, p[i].y, p[i].z, normal.x, normal.y, normal.z, 0xFFFFFFFF, uv[i][0], uv[i][1]});
  D3DXVECTOR3 e1 = p[1] - p[0], e2 = p[2] - p[0], cross;
  D3DXVec3Cross(&cross, &e1, &e2);
  const bool front = D3DXVec3Dot(&cross, &normal) > 0;  // clockwise seen from outside
  const WORD order[6] = {0, 1, 2, 0, 2, 3};
  for (int i = 0; i < 6; ++i) mesh.indices.push_back(WORD(base + (front ? order[i] : order[5 - i])));
}

// A tile of side 25 and height 4 with a bevel of 1.5, its top showing the
// picture's cell (u0, v0)-(u0 + du, v0 + dv).
MeshData BevelledTile(float u0, float v0, float du, float dv) {
  const float h = 12.5f, b = 1.5f, top = 4.0f;
  MeshData mesh;
  auto uv = [&](float x, float y, float(&out)[2]) {
    out[0] = u0 + (x + h) / (2 * h) * du;
    out[1] = v0 + (h - y) / (2 * h) * dv;
  };
  auto quad = [&](D3DXVECTOR3 a, D3DXVECTOR3 c1, D3DXVECTOR3 c2, D3DXVECTOR3 d, D3DXVECTOR3 n) {
    const D3DXVECTOR3 pts[4] = {a, c1, c2, d};
    float tex[4][2];
    for (int i = 0; i < 4; ++i) uv(pts[i].x, pts[i].y, tex[i]);
    AddQuad(mesh, pts, n, tex);
  };
  const float i = h - b;
  quad({-i, -i, top}, {i, -i, top}, {i, i, top}, {-i, i, top}, {0, 0, 1});
  // Bevels and sides, one per edge: (sx, sy) the outward direction.
  const float dirs[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
  for (const auto& d : dirs) {
    const float tx = -d[1], ty = d[0];  // along the edge
    auto at = [&](float out, float along, float z) {
      return D3DXVECTOR3(d[0] * out + tx * along, d[1] * out + ty * along, z);
    };
    quad(at(i, -i, top), at(i, i, top), at(h, h, top - b), at(h, -h, top - b), {d[0], d[1], 1});
    quad(at(h, -h, top - b), at(h, h, top - b), at(h, h, 0), at(h, -h, 0), {d[0], d[1], 0});
  }
  return mesh;
}

// ---- the scene ------------------------------------------------------------------------
void SetSceneStates(IDirect3DDevice9* device) {
  D3DXMATRIX view, projection;
  const D3DXVECTOR3 eye(0, -190, 230), at(0, 5, 0), up(0, 0, 1);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 4.0f / 3.0f, 10, 2000);
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  D3DLIGHT9 light;
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {0.85f, 0.85f, 0.8f, 1};
  light.Specular = {0.6f, 0.6f, 0.6f, 1};
  light.Direction = {0.45f, 0.55f, -0.7f};
  device->SetLight(0, &light);
  device->LightEnable(0, 1);
  device->SetRenderState(D3DRS_AMBIENT, 0xFF505058);
  device->SetRenderState(D3DRS_SPECULARENABLE, 1);
  for (DWORD s : {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER})
    device->SetSamplerState(0, s, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void DrawTable(IDirect3DDevice9* device, IDirect3DTexture9* wood) {
  MeshData table = FacingGrid(600, 0, 30);
  for (auto& v : table.vertices) {  // lie flat, facing up, texture repeating
    v.z = 0;
    v.nz = 1;
    v.u *= 4;
    v.v *= 4;
  }
  for (size_t k = 0; k < table.indices.size(); k += 3) std::swap(table.indices[k + 1], table.indices[k + 2]);
  Mesh mesh(device, table.vertices, table.indices);
  D3DMATERIAL9 material;
  material.Diffuse = material.Ambient = {1, 1, 1, 1};
  device->SetMaterial(&material);
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  device->SetTransform(D3DTS_WORLD, &world);
  device->SetTexture(0, wood);
  mesh.Draw(device);
}

void DrawTiles(IDirect3DDevice9* device, IDirect3DTexture9* picture) {
  D3DMATERIAL9 material;
  material.Diffuse = material.Ambient = {1, 1, 1, 1};
  material.Specular = {0.5f, 0.5f, 0.5f, 1};
  material.Power = 30;
  device->SetMaterial(&material);
  device->SetTexture(0, picture);
  const int across = 6, down = 4;
  int scattered = 0;
  for (int r = 0; r < down; ++r)
    for (int c = 0; c < across; ++c) {
      const MeshData tile = BevelledTile(float(c) / across, float(r) / down, 1.0f / across, 1.0f / down);
      Mesh mesh(device, tile.vertices, tile.indices);
      const int n = r * across + c;
      const bool joined = n % 7 != 3 && n % 5 != 4;
      D3DXMATRIX turn, move, world;
      float x = -62.5f + c * 25.0f, y = 37.5f - r * 25.0f, angle = 0;
      if (!joined) {  // scattered beside the puzzle, turned a little
        const int slot = scattered++;
        x = (slot % 2 ? 112.0f : -112.0f) + 5.0f * float(slot % 3);
        y = 40.0f - 36.0f * float(slot / 2);
        angle = 0.3f * float(slot % 4) - 0.45f;
      }
      D3DXMatrixRotationZ(&turn, angle);
      D3DXMatrixTranslation(&move, x, y, 0);
      world = turn * move;
      device->SetTransform(D3DTS_WORLD, &world);
      mesh.Draw(device);
    }
}

void DrawOverlay(IDirect3DDevice9* device, IDirect3DTexture9* icon, IDirect3DTexture9* white) {
  ID3DXSprite* sprite = nullptr;
  D3DXCreateSprite(device, &sprite);
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  D3DXMATRIX identity, panel, move;
  D3DXMatrixIdentity(&identity);
  for (int i = 0; i < 4; ++i) {  // icons, the last two half transparent
    D3DXMatrixTranslation(&move, 16.0f + i * 72, 12, 0);
    sprite->SetTransform(&move);
    sprite->Draw(icon, nullptr, nullptr, nullptr, i < 2 ? 0xFFFFFFFF : 0x80FFFFFF);
  }
  D3DXMatrixScaling(&panel, 1024.0f / 4, 96.0f / 4, 1);
  D3DXMatrixTranslation(&move, 0, 768 - 96, 0);
  panel = panel * move;
  sprite->SetTransform(&panel);
  sprite->Draw(white, nullptr, nullptr, nullptr, 0x90000000);
  sprite->End();
  sprite->Release();

  ID3DXFont* title = nullptr;
  ID3DXFont* body = nullptr;
  D3DXCreateFontA(device, 36, 0, FW_BOLD, 1, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH, "Verdana", &title);
  D3DXCreateFontA(device, 18, 0, FW_NORMAL, 1, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH, "Arial", &body);
  auto shadowed = [](ID3DXFont* font, const char* text, int x, int y, D3DCOLOR color) {
    for (auto [dx, dy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
      RECT r{x + dx, y + dy, 0, 0};
      font->DrawTextA(nullptr, text, -1, &r, DT_NOCLIP, 0xFF000000);
    }
    RECT r{x, y, 0, 0};
    font->DrawTextA(nullptr, text, -1, &r, DT_NOCLIP, color);
  };
  shadowed(title, "Ravelle", 330, 20, 0xFFFFFFFF);
  shadowed(body,
           "Pi\xC3\xA8"
           "ces pos\xC3\xA9"
           "es : 18 / 24  \xE2\x80\x94  75 %\n"
           "Dur\xC3\xA9"
           "e de jeu : 12:34   \xC3\x89t\xC3\xA9 \xC3\xA0 la campagne",
           24, 768 - 80, 0xFFFFE080);
  shadowed(body, "FPS 60", 940, 2, 0xFFFFFFFF);
  title->Release();
  body->Release();
}

// ---- the test ---------------------------------------------------------------------------
TEST(GLDemo_X11, RendersTheDemonstrationPicture) {
  // Smooth edges even on a software renderer, which offers no samples unless
  // asked to.
  const testkit::ScopedEnv multisample("RAVELLE_GL_MULTISAMPLE", "1");
  OffscreenDevice gl(1024, 768, D3DMULTISAMPLE_4_SAMPLES);
  if (!gl.device()) GTEST_SKIP() << "no OpenGL 3.3 context with 4 samples";
  IDirect3DDevice9* device = gl.device();
  testkit::TempDir dir;
  ASSERT_TRUE(ScenePicture().save(QString::fromStdString(dir / "scene.jpg"), "JPEG", 92));
  ASSERT_TRUE(WoodPicture().save(QString::fromStdString(dir / "wood.png")));
  ASSERT_TRUE(IconPicture().save(QString::fromStdString(dir / "icon.png")));
  IDirect3DTexture9* picture = LoadTexture(device, dir / "scene.jpg", 0);
  IDirect3DTexture9* wood = LoadTexture(device, dir / "wood.png", 0);
  IDirect3DTexture9* icon = LoadTexture(device, dir / "icon.png", 0xFFFF00FF);
  IDirect3DTexture9* white = SolidTexture(device, 4, 0xFFFFFFFF);
  ASSERT_TRUE(picture && wood && icon && white);

  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204080, 1.0f, 0);
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  SetSceneStates(device);
  DrawTable(device, wood);
  DrawTiles(device, picture);
  DrawOverlay(device, icon, white);
  device->EndScene();
  const QImage image = gl.Read();
  device->SetTexture(0, nullptr);
  for (auto* t : {picture, wood, icon, white}) t->Release();

  // The colour key left the icon's corner showing what lies below it.
  EXPECT_GT(ColorDistance(image.pixel(18, 14), qRgb(255, 0, 255)), 100);
  ASSERT_TRUE(testkit::SaveDemoPicture(image, "device", "gl_demo"));
}

}  // namespace
