// A small board drawn through the GL device, for a person to look at and
// for a few pixel checks: a generated picture on the piece tops, an edge
// texture on the walls, the shiny material, one highlighted piece, five
// pieces assembled in the middle and the rest scattered round them on the
// table. Written to <build>/demo/board/board_demo.png.
#include <gtest/gtest.h>

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <new>

#include "demo_picture.h"
#include "engine/camera.h"
#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host.h"
#include "puzzle/puzzle_board.h"
#include "testkit.h"
#include "tests/engine/gl_engine_fixture.h"

namespace {

QImage Picture() {
  QImage image(512, 384, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient sky(0, 0, 0, 150);
  sky.setColorAt(0, QColor(30, 80, 200));
  sky.setColorAt(1, QColor(120, 170, 240));
  p.fillRect(0, 0, 512, 150, sky);
  QRadialGradient sun(420, 60, 40);
  sun.setColorAt(0, QColor(255, 250, 200));
  sun.setColorAt(1, QColor(255, 200, 90, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sun);
  p.drawEllipse(QPointF(420, 60), 40, 40);
  p.fillRect(0, 150, 512, 234, QColor(50, 150, 60));
  p.setBrush(QColor(30, 110, 40));
  for (int i = 0; i < 6; ++i) p.drawEllipse(QPointF(40 + 90 * i, 150), 60, 30);
  for (int i = 0; i < 16; ++i) {
    p.setBrush(QColor(240, 60 + 10 * i, 60));
    p.drawEllipse(QPointF(20 + 31 * i, 330 + 12 * std::sin(i)), 8, 8);
  }
  return image;
}

QImage EdgePicture() {
  QImage image(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const int v = int(12 * std::sin(x * 0.4));
      image.setPixel(x, y, qRgb(100 + v, 70 + v, 40 + v / 2));
    }
  return image;
}

class BoardOnGL_X11 : public GLEngineFixture {
 protected:
  BoardOnGL_X11() : GLEngineFixture(1024, 768) {}
};

// Screen pixel of a world point through view x projection.
QPoint Project(const D3DXVECTOR3& p, const D3DXMATRIX& viewProjection, int w, int h) {
  D3DXVECTOR3 s;
  D3DXVec3TransformCoord(&s, &p, &viewProjection);
  return QPoint(int((s.x + 1) / 2 * w), int((1 - s.y) / 2 * h));
}

int Brightness(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); }

TEST_F(BoardOnGL_X11, RendersABoardOnTheTable) {
  testkit::TempDir dir;
  const QImage picture = Picture();
  ASSERT_TRUE(picture.save(QString::fromStdString(dir / "picture.png")));
  ASSERT_TRUE(EdgePicture().save(QString::fromStdString(dir / "edge.png")));
  CKVRTexture pictureTexture, highlight;
  ASSERT_TRUE(pictureTexture.LoadFromFile(dir / "picture.png", 0));
  ASSERT_TRUE(highlight.CreateBlank(false) && highlight.Lock());
  highlight.Fill(0xA040E0FF);  // A8B8G8R8: a translucent yellow
  highlight.Unlock();

  CPuzzleBoard board;
  board.m_definition = 3;
  board.m_shinyPieces = true;
  ASSERT_TRUE(
      board.CreateWithSeed(321, &pictureTexture, 4, 3, true, PieceShapeClassic, 60, dir / "edge.png", ""));
  board.ScatterPieces();
  // Five pieces of the bottom rows assembled in the middle, unturned.
  const D3DXVECTOR3 centre(board.m_width / 2.0f, board.m_height / 2.0f, 0);
  const int assembled[][2] = {{1, 0}, {1, 1}, {2, 0}, {2, 1}, {2, 2}};
  for (const auto& rc : assembled) {
    CPuzzlePiece& p = board.m_pieces[size_t(rc[0] * 4 + rc[1])];
    p.SetQuarterTurns(0);
    p.SetPosition(p.m_homePosition - centre);
  }
  // The farthest scattered piece is selected.
  CPuzzlePiece* selectedPiece = &board.m_pieces[0];
  for (int i : {0, 1, 2, 3, 6, 7})
    if (board.m_pieces[size_t(i)].m_currentPosition.y < selectedPiece->m_currentPosition.y)
      selectedPiece = &board.m_pieces[size_t(i)];
  CPuzzlePiece& selected = *selectedPiece;
  selected.m_selected = true;
  selected.m_highlight.m_texture = &highlight;

  CKVRCamera camera;
  camera.m_farPlane = 3000;
  const D3DXVECTOR3 eye(0, 215, 165), at(0, -5, 0), up(0, -1, 0);
  D3DXMatrixLookAtLH(&camera.m_view, &eye, &at, &up);
  g_Engine.SetCamera(&camera);
  g_Engine.SetClearColor(0xFF2E5A3A);  // the table
  g_Engine.SetAmbientColor(0xFF606060);
  ASSERT_TRUE(g_Engine.BeginFrame());
  IDirect3DDevice9* device = g_Engine.Device();
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {0.8f, 0.8f, 0.75f, 1};
  light.Specular = {0.7f, 0.7f, 0.7f, 1};
  light.Direction = {0.3f, -0.5f, -0.8f};
  device->SetLight(0, &light);
  device->LightEnable(0, 1);
  device->SetRenderState(D3DRS_LIGHTING, 1);
  device->SetRenderState(D3DRS_SPECULARENABLE, 1);
  device->SetRenderState(D3DRS_NORMALIZENORMALS, 1);
  board.Render();
  device->EndScene();
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  QImage image;
  ASSERT_TRUE(GLReadBackBuffer(device, &image));

  ASSERT_TRUE(testkit::SaveDemoPicture(image, "board", "board_demo"));

  const D3DXMATRIX viewProjection = camera.m_view * g_Engine.Projection();
  const int w = image.width(), h = image.height();
  // Tops show their part of the picture: the dominant channel of the picture
  // at the piece centre's texture coordinates.
  auto dominant = [](QRgb c) {
    return qGreen(c) >= qRed(c) && qGreen(c) >= qBlue(c) ? 1 : qBlue(c) >= qRed(c) ? 2 : 0;
  };
  for (const auto& rc : assembled) {
    const CPuzzlePiece& p = board.m_pieces[size_t(rc[0] * 4 + rc[1])];
    const QPoint at = Project(p.m_currentPosition + D3DXVECTOR3(0, 0, 1.5f), viewProjection, w, h);
    const QRgb shown = image.pixel(at);
    const QRgb source = picture.pixel(int(p.m_homePosition.x / board.m_width * picture.width()),
                                      int(p.m_homePosition.y / board.m_height * picture.height()));
    EXPECT_EQ(dominant(shown), dominant(source)) << rc[0] << "," << rc[1];
    EXPECT_GT(Brightness(shown), 150);
  }
  // The bottom border walls of the assembled pieces face the camera and are
  // darker than the tops above them.
  for (int c = 0; c < 3; ++c) {
    const CPuzzlePiece& p = board.m_pieces[size_t(8 + c)];
    const D3DXVECTOR3 base = p.m_currentPosition;
    const float bottom = board.m_height - centre.y;
    const QPoint wall = Project(D3DXVECTOR3(base.x, bottom, 0.5f), viewProjection, w, h);
    const QPoint top = Project(D3DXVECTOR3(base.x, base.y, 1.5f), viewProjection, w, h);
    EXPECT_LT(Brightness(image.pixel(wall)), Brightness(image.pixel(top)) * 3 / 4) << c;
  }
  // Between two neighbouring ring slots lies bare table.
  const QRgb table = image.pixel(Project(D3DXVECTOR3(-75, -87, 0), viewProjection, w, h));
  EXPECT_EQ(table, qRgb(0x2E, 0x5A, 0x3A));
  const QRgb between = image.pixel(Project(D3DXVECTOR3(75, -87, 0), viewProjection, w, h));
  EXPECT_EQ(between, qRgb(0x2E, 0x5A, 0x3A));

  board.Clear();
}

}  // namespace
