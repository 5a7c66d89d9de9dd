#pragma once
// The boards that board_render_bench draws: a Classic board of a given size,
// definition and shine with every piece at home under a camera that sees
// all of it (or, after UsePlayCamera, scattered under the play screen's
// camera), on g_Engine's GL device in a shown 1280 x 1024 window; the frame
// Render draws, a frame of chosen pieces by the same calls, and the minimal
// program's draws of the whole board (bench/minimal_program.h). Shared by
// the benchmark and the test that holds the paired frames side by side.
//
// Sections: pictures - engine on a window - scene
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/camera.h"
#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "minimal_program.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host_widget.h"
#include "puzzle/puzzle_board.h"

namespace bench {

constexpr int kWidth = 1280, kHeight = 1024;
constexpr D3DCOLOR kClear = 0xFF204080;

// ---- pictures -------------------------------------------------------------------------------
// A photograph-sized picture (1600 x 1200) and an edge texture, written once.
struct Pictures {
  QTemporaryDir dir;
  std::string picture, edge;
  Pictures() {
    QImage photo(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
      for (int x = 0; x < photo.width(); ++x)
        photo.setPixel(x, y, qRgb(x * 255 / 1600, y * 255 / 1200, (x ^ y) & 0xFF));
    QImage wood(128, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) wood.setPixel(x, y, qRgb(150 + (x * 7 + y) % 60, 110, 70));
    picture = (dir.path() + "/picture.png").toStdString();
    edge = (dir.path() + "/edge.png").toStdString();
    photo.save(QString::fromStdString(picture));
    wood.save(QString::fromStdString(edge));
  }
};

// ---- engine on a window ----------------------------------------------------------------------
// g_Engine on a shown 1280 x 1024 window for the life of the process.
class EngineOnWindow {
 public:
  bool Open() {
    m_widget = std::make_unique<GLHostWidget>();
    m_widget->resize(kWidth, kHeight);
    m_widget->show();
    QElapsedTimer waited;
    waited.start();
    while (!m_widget->IsShowing() && waited.elapsed() < 5000) QApplication::processEvents();
    SetDirect3DFactory([] { return Direct3DCreate9GL(); });
    return g_Engine.InitDirect3D().success && g_Engine.CreateDevice(m_widget.get(), false).success;
  }
  void Close() {
    g_Engine.Shutdown();
    m_widget.reset();
  }
  QSurface* Surface() const { return m_widget->GLSurface(); }

 private:
  std::unique_ptr<GLHostWidget> m_widget;
};

inline void Finish() { QOpenGLContext::currentContext()->functions()->glFinish(); }

// ---- scene ------------------------------------------------------------------------------------
// A board with the camera over its middle seeing all of it, one light.
struct BoardScene {
  CPuzzleBoard board;
  CKVRTexture picture;
  D3DXMATRIX view, projection;
  D3DXVECTOR3 towardsLight{0.3f, -0.4f, 0.85f};
  D3DCOLORVALUE diffuse{0.75f, 0.75f, 0.75f, 1};
  D3DCOLOR ambient = 0xFF404040;
  D3DLIGHT9 light{};

  bool Create(const Pictures& pictures, int pieces, int definition, bool shiny) {
    if (!picture.LoadFromFile(pictures.picture, 0)) return false;
    const int columns = pieces == 100 ? 10 : pieces == 500 ? 25 : pieces == 1000 ? 40 : 50;
    board.m_definition = definition;
    board.m_shinyPieces = shiny;
    if (!board.CreateWithSeed(517, &picture, columns, pieces / columns, true, PieceShapeClassic, 75,
                              pictures.edge, ""))
      return false;
    float lowX = 1e9f, lowY = 1e9f, highX = -1e9f, highY = -1e9f;
    for (const CPuzzlePiece& p : board.m_pieces) {
      lowX = std::min(lowX, p.m_currentPosition.x), highX = std::max(highX, p.m_currentPosition.x);
      lowY = std::min(lowY, p.m_currentPosition.y), highY = std::max(highY, p.m_currentPosition.y);
    }
    const float cx = (lowX + highX) / 2, cy = (lowY + highY) / 2;
    const float extent = std::max((highX - lowX) * kHeight / kWidth, highY - lowY) + 60;
    const float distance = extent / 2 / std::tan(D3DX_PI / 8) * 1.05f;
    const D3DXVECTOR3 eye(cx, cy - distance * 0.1f, distance), at(cx, cy, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, float(kWidth) / kHeight, distance / 10,
                               distance * 3);
    D3DXVec3Normalize(&towardsLight, &towardsLight);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = diffuse;
    light.Specular = {0.5f, 0.5f, 0.5f, 1};
    light.Direction = -towardsLight;
    return true;
  }

  // The pieces scattered as a new game does and the play screen's camera
  // after the fly-in.
  void UsePlayCamera() {
    board.ScatterPieces();
    CKVRCamera camera;
    camera.SetEye(0, -float(board.m_height / 2), 300);
    D3DXVECTOR3 direction(0, -0.01f, -1), up(0, -1, 0), right;
    D3DXVec3Normalize(&direction, &direction);
    D3DXVec3Cross(&right, &up, &direction);
    D3DXVec3Cross(&up, &direction, &right);
    camera.m_direction = direction;
    camera.m_right = right;
    camera.m_up = up;
    camera.UpdateView();
    view = camera.m_view;
    D3DXMatrixPerspectiveFovLH(&projection, camera.m_fieldOfView, float(kWidth) / kHeight, camera.m_nearPlane,
                               camera.m_farPlane);
  }

  // The pieces with a vertex of their top or walls inside the clip volume.
  std::vector<int> PiecesWithAVertexInView() const {
    std::vector<int> pieces;
    void* data = nullptr;
    const CKVR3DMultiObject& meshes = board.m_meshes;
    if (FAILED(meshes.m_vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY))) return pieces;
    const auto* vertices = static_cast<const VertexPNDT*>(data);
    const int n = board.m_pieceCount;
    for (int i = 0; i < n; ++i) {
      const D3DXMATRIX clip = meshes.m_renderParams[size_t(i)].m_world * view * projection;
      bool seen = false;
      for (int pass = 0; pass < 2 && !seen; ++pass) {
        const CKVR3DObjectRenderParam& r = meshes.m_renderParams[size_t(pass * n + i)];
        for (int v = r.m_baseVertex; v <= r.m_lastVertex && !seen; ++v) {
          const VertexPNDT& p = vertices[v];
          float c[4];
          for (int k = 0; k < 4; ++k)
            c[k] = p.x * clip.m[0][k] + p.y * clip.m[1][k] + p.z * clip.m[2][k] + clip.m[3][k];
          seen = std::fabs(c[0]) <= c[3] && std::fabs(c[1]) <= c[3] && c[2] >= 0 && c[2] <= c[3];
        }
      }
      if (seen) pieces.push_back(i);
    }
    meshes.m_vertexBuffer->Unlock();
    return pieces;
  }

  // A frame of the given pieces alone, drawn with the calls Render makes
  // for them (no piece is joined or selected).
  void FrameOf(const std::vector<int>& pieces) {
    IDirect3DDevice9* device = g_Engine.Device();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
    device->BeginScene();
    CKVR3DMultiObject& meshes = board.m_meshes;
    device->SetTexture(0, picture.m_d3dTexture);
    device->SetMaterial(board.m_shinyPieces ? &board.m_shinyMaterial : &board.m_matteMaterial);
    g_Engine.SetTextureStageModulate();
    device->SetStreamSource(0, meshes.m_vertexBuffer, 0, sizeof(VertexPNDT));
    device->SetFVF(VertexPNDT_FVF);
    device->SetIndices(meshes.m_indexBuffer);
    const int n = board.m_pieceCount;
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 1) {
        device->SetTexture(0, board.m_edgeTexture.m_d3dTexture);
        device->SetMaterial(&board.m_matteMaterial);
      }
      for (int i : pieces) {
        device->SetTransform(D3DTS_WORLD, &meshes.m_renderParams[size_t(i)].m_world);
        meshes.RenderSubObject(pass * n + i);
      }
    }
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }

  void SetDeviceState() {
    IDirect3DDevice9* device = g_Engine.Device();
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetLight(0, &light);
    device->LightEnable(0, 1);
    device->SetRenderState(D3DRS_AMBIENT, ambient);
    device->SetRenderState(D3DRS_SPECULARENABLE, 1);
  }

  void DeviceFrame() {
    IDirect3DDevice9* device = g_Engine.Device();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
    device->BeginScene();
    board.Render();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }

  // Triangles Render draws: every top and every side wall (no piece is
  // joined).
  double Triangles() const {
    double count = 0;
    for (const CKVR3DObjectRenderParam& r : board.m_meshes.m_renderParams) count += r.m_primitiveCount;
    return count;
  }

  // The minimal program with the board's bytes, textures, light and draws.
  bool MakeMinimal(QSurface* surface, MinimalProgram& minimal, std::vector<MinimalDraw>& draws) const {
    if (!minimal.Create(surface, kWidth, kHeight)) return false;
    void* vertices = nullptr;
    void* indices = nullptr;
    const CKVR3DMultiObject& meshes = board.m_meshes;
    if (FAILED(meshes.m_vertexBuffer->Lock(0, 0, &vertices, D3DLOCK_READONLY))) return false;
    if (FAILED(meshes.m_indexBuffer->Lock(0, 0, &indices, D3DLOCK_READONLY))) return false;
    minimal.SetBuffers(vertices, size_t(meshes.m_vertexCount) * sizeof(VertexPNDT), indices,
                       size_t(meshes.m_indexCount) * sizeof(WORD));
    meshes.m_vertexBuffer->Unlock();
    meshes.m_indexBuffer->Unlock();
    const int textures[2] = {minimal.AddTexture(picture.m_d3dTexture),
                             minimal.AddTexture(board.m_edgeTexture.m_d3dTexture)};
    if (textures[0] < 0 || textures[1] < 0) return false;
    // Both materials have the same ambient and diffuse colours; the shiny
    // one's specular lights the tops of a shiny board only.
    minimal.SetScene(view, projection, MinimalLightOf(light, board.m_shinyMaterial, ambient, view));
    const int n = board.m_pieceCount;
    for (int pass = 0; pass < 2; ++pass)
      for (int i = 0; i < n; ++i) {
        const CKVR3DObjectRenderParam& r = meshes.m_renderParams[size_t(pass * n + i)];
        draws.push_back({textures[pass], &meshes.m_renderParams[size_t(i)].m_world, r.m_baseVertex,
                         UINT(r.m_startIndex), UINT(r.m_indexCount), pass == 0 && board.m_shinyPieces});
      }
    return true;
  }
};

}  // namespace bench
