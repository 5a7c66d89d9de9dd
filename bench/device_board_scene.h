#pragma once
// The GL device's board frame that platform_bench times: 2,000 pieces of 288
// triangles in three sub-objects each, sharing one vertex and one index
// buffer, drawn the way the engine draws a multi-object (one SetTransform and
// one DrawIndexedPrimitive per sub-object) into a shown 1280 x 1024 window,
// lit by one shiny directional light; and the minimal program's draws of the
// same picture (bench/minimal_program.h). Shared by the benchmark and the
// test that holds the two frames side by side.
//
// Sections: board mesh - window and device - the minimal program's frame
#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "minimal_program.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host_widget.h"

namespace bench {

// ---- board mesh -------------------------------------------------------------------------
constexpr int kPieces = 2000;
constexpr int kAcross = 50;  // pieces per row on the table

struct SubObject {
  INT baseVertex;
  UINT vertexCount, startIndex, primitiveCount;
};

// A flat face of cells x rows quads over the piece's square at height z,
// facing up, appended as its own sub-object.
inline void AddGrid(std::vector<VertexPNDT>& vertices, std::vector<WORD>& indices,
                    std::vector<SubObject>& subs, int cells, int rows, float z) {
  SubObject sub{INT(vertices.size()), 0, UINT(indices.size()), 0};
  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c <= cells; ++c) {
      const float s = float(c) / float(cells), t = float(r) / float(rows);
      vertices.push_back({-12.5f + 25 * s, 12.5f - 25 * t, z, 0, 0, 1, 0xFFFFFFFF, s, t});
    }
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cells; ++c) {
      const WORD a = WORD(r * (cells + 1) + c), b = WORD(a + cells + 1);
      // Clockwise seen from above.
      for (WORD i : {a, b, WORD(a + 1), WORD(a + 1), b, WORD(b + 1)}) indices.push_back(i);
    }
  sub.vertexCount = UINT(vertices.size()) - UINT(sub.baseVertex);
  sub.primitiveCount = (UINT(indices.size()) - sub.startIndex) / 3;
  subs.push_back(sub);
}

struct Board {
  std::vector<VertexPNDT> vertices;
  std::vector<WORD> indices;
  std::vector<SubObject> subs;  // three per piece: top, sides, bottom
};

// Every piece has the same shape; the shared buffers hold 2,000 copies, as a
// board's do. Per piece: top 8 x 8 cells (128 triangles), sides 16 x 4
// (128), bottom 4 x 4 (32): 288 triangles.
inline Board MakeBoard() {
  Board board;
  for (int p = 0; p < kPieces; ++p) {
    AddGrid(board.vertices, board.indices, board.subs, 8, 8, 4);
    AddGrid(board.vertices, board.indices, board.subs, 16, 4, 2);
    AddGrid(board.vertices, board.indices, board.subs, 4, 4, 0);
  }
  return board;
}

// ---- window and device -----------------------------------------------------------------------
struct DeviceBoardScene {
  std::unique_ptr<GLHostWidget> widget;
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  IDirect3DVertexBuffer9* vb = nullptr;
  IDirect3DIndexBuffer9* ib = nullptr;
  IDirect3DTexture9* texture = nullptr;
  Board board;
  std::vector<D3DXMATRIX> worlds;

  bool Open(D3DMULTISAMPLE_TYPE samples);
  void Close();
  void DrawFrame();
  void Finish() { QOpenGLContext::currentContext()->functions()->glFinish(); }
};

inline bool DeviceBoardScene::Open(D3DMULTISAMPLE_TYPE samples) {
  widget = std::make_unique<GLHostWidget>();
  widget->resize(1280, 1024);
  widget->show();
  QElapsedTimer waited;
  waited.start();
  while (!widget->IsShowing() && waited.elapsed() < 5000) QApplication::processEvents();
  // A software renderer offers samples only when asked to.
  if (samples) setenv("RAVELLE_GL_MULTISAMPLE", "1", 1);
  d3d = Direct3DCreate9GL();
  if (samples) unsetenv("RAVELLE_GL_MULTISAMPLE");
  if (!d3d) return false;
  D3DPRESENT_PARAMETERS params;
  params.MultiSampleType = samples;
  params.Windowed = 1;
  params.EnableAutoDepthStencil = 1;
  params.AutoDepthStencilFormat = D3DFMT_D24S8;
  params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, widget.get(), D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                               &device)))
    return false;
  board = MakeBoard();
  void* data = nullptr;
  device->CreateVertexBuffer(UINT(board.vertices.size() * sizeof(VertexPNDT)), 0, VertexPNDT_FVF,
                             D3DPOOL_MANAGED, &vb, nullptr);
  vb->Lock(0, 0, &data, 0);
  std::memcpy(data, board.vertices.data(), board.vertices.size() * sizeof(VertexPNDT));
  vb->Unlock();
  device->CreateIndexBuffer(UINT(board.indices.size() * 2), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr);
  ib->Lock(0, 0, &data, 0);
  std::memcpy(data, board.indices.data(), board.indices.size() * 2);
  ib->Unlock();
  device->CreateTexture(256, 256, 1, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED, &texture,
                        nullptr);
  D3DLOCKED_RECT locked;
  texture->LockRect(0, &locked, nullptr, 0);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      static_cast<DWORD*>(locked.pBits)[y * 256 + x] = 0xFF000000u | DWORD(x) | DWORD(y) << 8 | 0x800000u;
  texture->UnlockRect(0);

  // Pieces on a 50 x 40 grid seen from above; the camera sees them all.
  for (int p = 0; p < kPieces; ++p) {
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, (p % kAcross - kAcross / 2) * 26.0f, (p / kAcross - 20) * 26.0f, 0);
    worlds.push_back(world);
  }
  D3DXMATRIX view, projection;
  const D3DXVECTOR3 eye(0, -200, 1150), at(0, 0, 0), up(0, 0, 1);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1280.0f / 1024.0f, 10, 5000);
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {0.8f, 0.8f, 0.8f, 1};
  light.Specular = {0.5f, 0.5f, 0.5f, 1};
  light.Direction = {0.3f, 0.4f, -0.8f};
  device->SetLight(0, &light);
  device->LightEnable(0, 1);
  device->SetRenderState(D3DRS_SPECULARENABLE, 1);
  device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
  for (DWORD s : {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER})
    device->SetSamplerState(0, s, D3DTEXF_LINEAR);
  D3DMATERIAL9 material;
  material.Diffuse = material.Ambient = {1, 1, 1, 1};
  material.Specular = {1, 1, 1, 1};
  material.Power = 135;
  device->SetMaterial(&material);
  return true;
}

inline void DeviceBoardScene::Close() {
  for (IUnknown* o : std::initializer_list<IUnknown*>{texture, vb, ib, device, d3d})
    if (o) o->Release();
  texture = nullptr, vb = nullptr, ib = nullptr, device = nullptr, d3d = nullptr;
  widget.reset();
}

inline void DeviceBoardScene::DrawFrame() {
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204080, 1.0f, 0);
  device->BeginScene();
  device->SetTexture(0, texture);
  device->SetStreamSource(0, vb, 0, sizeof(VertexPNDT));
  device->SetFVF(VertexPNDT_FVF);
  device->SetIndices(ib);
  for (int p = 0; p < kPieces; ++p) {
    device->SetTransform(D3DTS_WORLD, &worlds[size_t(p)]);
    for (int s = 0; s < 3; ++s) {
      const SubObject& sub = board.subs[size_t(p * 3 + s)];
      device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, sub.baseVertex, 0, sub.vertexCount, sub.startIndex,
                                   sub.primitiveCount);
    }
  }
  device->EndScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
}

// ---- the minimal program's frame ----------------------------------------------------------
// The minimal program with the scene's bytes, texture, light and draws.
inline bool MakeMinimal(DeviceBoardScene& scene, MinimalProgram& minimal, std::vector<MinimalDraw>& draws) {
  if (!minimal.Create(scene.widget->GLSurface(), 1280, 1024)) return false;
  minimal.SetBuffers(scene.board.vertices.data(), scene.board.vertices.size() * sizeof(VertexPNDT),
                     scene.board.indices.data(), scene.board.indices.size() * sizeof(WORD));
  const int texture = minimal.AddTexture(scene.texture);
  if (texture < 0) return false;
  D3DXMATRIX view, projection;
  scene.device->GetTransform(D3DTS_VIEW, &view);
  scene.device->GetTransform(D3DTS_PROJECTION, &projection);
  D3DLIGHT9 light;
  D3DMATERIAL9 material;
  DWORD ambient = 0;
  scene.device->GetLight(0, &light);
  scene.device->GetMaterial(&material);
  scene.device->GetRenderState(D3DRS_AMBIENT, &ambient);
  minimal.SetScene(view, projection, MinimalLightOf(light, material, ambient, view));
  for (int p = 0; p < kPieces; ++p)
    for (int s = 0; s < 3; ++s) {
      const SubObject& sub = scene.board.subs[size_t(p * 3 + s)];
      draws.push_back(
          {texture, &scene.worlds[size_t(p)], sub.baseVertex, sub.startIndex, sub.primitiveCount * 3, true});
    }
  return true;
}

}  // namespace bench
