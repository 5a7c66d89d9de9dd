#include "game/selection_rect.h"

#include <algorithm>

#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "puzzle/puzzle_board.h"

namespace {
constexpr float kBandHeight = 0.25f;
}

bool CSelectionRect::Create(CKVRTexture* fillTexture) {
  const std::vector<D3DXVECTOR3> positions(4), normals(4, D3DXVECTOR3(0, 0, 1));
  const std::vector<D3DXVECTOR2> texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  std::vector<int> indices(6);
  int position = 0;
  AddTriangleIndices(indices, position, 0, 1, 3);
  AddTriangleIndices(indices, position, 1, 2, 3);
  m_quad.m_texture = fillTexture;
  BuildQuadMesh(m_quad, positions, normals, texCoords, indices);
  return true;
}

void CSelectionRect::SetCorners(float x1, float y1, float x2, float y2) {
  m_x1 = x1;
  m_y1 = y1;
  m_x2 = x2;
  m_y2 = y2;
  if (!m_quad.LockBuffers()) return;
  const float corners[4][2] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
  for (int i = 0; i < 4; ++i) {
    VertexPNDT& v = m_quad.m_lockedVertices[i];
    v.x = corners[i][0];
    v.y = corners[i][1];
    v.z = kBandHeight;
  }
  m_quad.UnlockBuffers();
}

void CSelectionRect::Render() {
  IDirect3DDevice9* device = g_Engine.Device();
  if (!device) return;
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetTexture(0, m_quad.m_texture ? m_quad.m_texture->m_d3dTexture : nullptr);
  g_Engine.SetTextureStageModulateAlpha();
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  m_quad.RenderNoTexture();
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

void CSelectionRect::CollectPiecesInside(CPuzzleBoard& board, PieceGroup& out) const {
  const float minX = std::min(m_x1, m_x2), maxX = std::max(m_x1, m_x2);
  const float minY = std::min(m_y1, m_y2), maxY = std::max(m_y1, m_y2);
  out.clear();
  for (CPuzzlePiece& piece : board.m_pieces) {
    const D3DXVECTOR3& p = piece.m_currentPosition;
    if (minX < p.x && p.x < maxX && minY < p.y && p.y < maxY) out.push_back(&piece);
  }
}
