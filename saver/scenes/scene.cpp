// The scene base and its helpers.
//
// Sections: random values and colours - the frame - puzzle - background sphere - clock and
// shared steps
#include "saver/scenes/scene.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/engine.h"
#include "platform/crt_random.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/d3d9/d3dx9.h"
#include "platform/paths.h"
#include "saver/picture_lists.h"
#include "support/support.h"

namespace {
constexpr unsigned kSceneIrregularity = 75;
constexpr int kSpherePrimitives = 2048;
}  // namespace

// ---- random values and colours ----------------------------------------------------------
double RandomUnit() { return double(CrtRand() % 1001) / 1000.0; }

float RandomRange(float lo, float hi) {
  const float span = hi - lo;
  return float(double(lo) + RandomUnit() * double(span));
}

D3DCOLORVALUE RandomLightColour() {
  D3DCOLORVALUE colour;
  colour.r = float(double(CrtRand() / 256) / 255.0);
  colour.g = float(double(CrtRand() / 256) / 255.0);
  colour.b = float(double(CrtRand() / 256) / 255.0);
  colour.a = 1.0f;
  return colour;
}

D3DXVECTOR3 RandomSpin() {
  constexpr float kSpinRange = 1.57f;
  const float x = RandomRange(-kSpinRange, kSpinRange);
  const float y = RandomRange(-kSpinRange, kSpinRange);
  const float z = RandomRange(-kSpinRange, kSpinRange);
  return D3DXVECTOR3(x, y, z);
}

D3DCOLOR LightColourToArgb(const D3DCOLORVALUE& colour) {
  const DWORD r = DWORD(int(colour.r * 255.0f)) & 0xFF;
  const DWORD g = DWORD(int(colour.g * 255.0f)) & 0xFF;
  const DWORD b = DWORD(int(colour.b * 255.0f)) & 0xFF;
  return 0xFF000000u | r << 16 | g << 8 | b;
}

// ---- the frame --------------------------------------------------------------------------
bool DrawSceneFrame(CScene* scene, const std::function<void()>& overlay) {
  if (!g_Engine.BeginFrame()) return false;
  g_Engine.SetFillMode(D3DFILL_SOLID);
  if (scene) scene->Render();
  if (overlay) overlay();
  g_Engine.EndFrame();
  return true;
}

// ---- puzzle ------------------------------------------------------------------------------
CScene::~CScene() { g_Engine.ForgetLight(&m_light); }

void CScene::CreatePuzzle(int wantedCount, int definition) {
  const std::string textures = GetTexturesDir() + kPathSeparator;
  const std::string edgePath = textures + "PieceEdge.png";
  const std::string backPath = textures + "PieceBottom.png";
  std::vector<std::string> pictures;
  BuildImageList(pictures);
  int columns = 0, rows = 0;
  bool usable = false;
  if (!pictures.empty()) {
    const std::string& path = pictures[size_t(CrtRand()) % pictures.size()];
    if (!path.empty() && m_picture.LoadFromFile(path, 0)) {
      const float aspect = float(m_picture.m_imageInfo.Width) / float(m_picture.m_imageInfo.Height);
      // A picture so long and thin that the grid would pass the board's
      // limit cannot be cut: it gets the grey puzzle instead.
      usable = GridSizeForCount(wantedCount, aspect, columns, rows) && columns * rows <= kMaxPieceCount;
    }
  }
  if (!usable) {
    MakeGreyPicture();
    columns = rows = kSceneFallbackGrid;
  }
  m_board.m_definition = definition;
  m_board.m_shinyPieces = true;
  // A puzzle memory cannot hold gives way to one of half the columns and
  // rows, down to a single piece; below that the board stays empty.
  for (;;) {
    const unsigned long long lacks = OutOfMemoryCount();
    if (m_board.Create(&m_picture, columns, rows, false, PieceShapeClassic, kSceneIrregularity, edgePath,
                       backPath) ||
        OutOfMemoryCount() == lacks || (columns == 1 && rows == 1))
      return;
    columns = std::max(1, columns / 2);
    rows = std::max(1, rows / 2);
  }
}

void CScene::MakeGreyPicture() {
  m_picture.Release();
  const UINT side = kSceneFallbackPictureSize;
  // The sizes are set even when the device refuses the texture, so that the
  // board is still cut (its tops then draw untextured).
  m_picture.m_width = m_picture.m_height = side;
  m_picture.m_imageInfo.Width = m_picture.m_imageInfo.Height = side;
  if (FAILED(D3DXCreateTexture(g_Engine.Device(), side, side, D3DX_DEFAULT, D3DUSAGE_AUTOGENMIPMAP,
                               D3DFMT_A8B8G8R8, D3DPOOL_MANAGED, &m_picture.m_d3dTexture))) {
    m_picture.m_d3dTexture = nullptr;
    return;
  }
  if (m_picture.Lock()) {
    m_picture.Fill(kSceneGrey);
    m_picture.Unlock();
  }
}

// ---- background sphere ---------------------------------------------------------------------
void CScene::CreateBackgroundSphere(CKVR3DObject& sphere, float radius, const D3DCOLORVALUE& colour) {
  CKVR3DObjectCreateParam mesh;
  BuildSphereMesh(mesh, radius);
  FlipMeshInsideOut(mesh);
  // A scene that rebuilds its sphere would otherwise leak the old buffers.
  sphere.ReleaseBuffers();
  BuildMesh(sphere, mesh.m_positions, mesh.m_normals, mesh.m_texCoords, mesh.m_indices, kSpherePrimitives);
  if (sphere.LockBuffers()) {
    for (int i = 0; i < sphere.m_vertexCount; ++i) {
      VertexPNDT& v = sphere.m_lockedVertices[i];
      const float t = std::min(std::fabs(v.z) / radius, 1.0f);
      const float s = 1.0f - t;
      const float k = v.z < 0 ? 1.0f : 0.0f;
      auto channel = [&](float c) { return DWORD(int((c * s + k * t) * 255.0f)) & 0xFF; };
      v.diffuse = 0xFF000000u | channel(colour.r) << 16 | channel(colour.g) << 8 | channel(colour.b);
    }
    sphere.UnlockBuffers();
  }
  const float z = RandomRange(0.0f, D3DX_PI);
  const float y = RandomRange(0.0f, D3DX_PI);
  const float x = RandomRange(0.0f, D3DX_PI);
  sphere.m_rotation = D3DXVECTOR3(x, y, z);
  D3DXMatrixRotationX(&sphere.m_rotationX, x);
  D3DXMatrixRotationY(&sphere.m_rotationY, y);
  D3DXMatrixRotationZ(&sphere.m_rotationZ, z);
}

// ---- clock and shared steps ------------------------------------------------------------------
void CScene::ReadClock(float* t, float* dt) {
  const float now = float(m_clock.GetElapsed());
  *t = now;
  *dt = now - m_lastTime;
  m_lastTime = now;
}

D3DCOLORVALUE CScene::CreatePuzzleAndSphere(int wantedCount, int definition, float sphereRadius) {
  CreatePuzzle(wantedCount, definition);
  const D3DCOLORVALUE colour = RandomLightColour();
  CreateBackgroundSphere(m_sphere, sphereRadius, colour);
  return colour;
}

void CScene::PlaceCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& at) {
  if (!m_camera) return;
  m_camera->SetEyeFrom(eye);
  m_camera->LookAt(at.x, at.y, at.z);
}

void CScene::StartClock() {
  m_clock.Start(0.0);
  m_lastTime = 0.0f;
}

void CScene::SetDepthAndLighting(bool on) {
  IDirect3DDevice9* device = g_Engine.Device();
  device->SetRenderState(D3DRS_ZENABLE, on ? 1 : 0);
  device->SetRenderState(D3DRS_ZWRITEENABLE, on ? 1 : 0);
  device->SetRenderState(D3DRS_LIGHTING, on ? 1 : 0);
}

void CScene::RenderSphereAndBoard() {
  if (!g_Engine.Device()) return;
  SetDepthAndLighting(false);
  m_sphere.Render();
  SetDepthAndLighting(true);
  m_board.Render();
}

void CScene::ReleaseSphereAndPuzzle() {
  m_sphere.ReleaseBuffers();
  m_picture.Release();
  m_board.Clear();
}

std::vector<CPuzzlePiece*> CScene::BoardPieces() {
  std::vector<CPuzzlePiece*> pieces;
  pieces.reserve(m_board.m_pieces.size());
  for (CPuzzlePiece& piece : m_board.m_pieces) pieces.push_back(&piece);
  return pieces;
}
