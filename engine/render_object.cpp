// Render objects, the multi-object's sub-objects and the mesh builders.
//
// Sections: params - base object - single mesh - multi-object - mesh builders
#include "engine/render_object.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/draw_resources.h"
#include "engine/engine.h"

namespace {

constexpr int kMaxSubObjectVertices = 65536;

void SetIdentity(std::initializer_list<D3DXMATRIX*> matrices) {
  for (D3DXMATRIX* m : matrices) D3DXMatrixIdentity(m);
}

D3DXMATRIX WorldOf(const D3DXMATRIX& scaling, const D3DXMATRIX& rx, const D3DXMATRIX& ry,
                   const D3DXMATRIX& rz, const D3DXMATRIX& translation) {
  return scaling * rx * ry * rz * translation;
}

VertexPNDT MakeVertex(const D3DXVECTOR3& p, const D3DXVECTOR3& n, const D3DXVECTOR2& t) {
  VertexPNDT v;
  v.x = p.x, v.y = p.y, v.z = p.z;
  v.nx = n.x, v.ny = n.y, v.nz = n.z;
  v.diffuse = 0xFFFFFFFF;
  v.u = t.x, v.v = t.y;
  return v;
}

// Local indices must fit 16 bits as they are.
bool IndicesFit(const std::vector<int>& indices) {
  return std::all_of(indices.begin(), indices.end(), [](int i) { return i >= 0 && i <= 0xFFFF; });
}

}  // namespace

// ---- params ---------------------------------------------------------------------------------
CKVR3DObjectRenderParam::CKVR3DObjectRenderParam() {
  SetIdentity({&m_world, &m_translation, &m_rotationX, &m_rotationY, &m_rotationZ, &m_scaling});
}

// ---- base object ------------------------------------------------------------------------------
CKVRRenderObject::CKVRRenderObject() {
  m_material.Diffuse = {1, 1, 1, 1};
  m_material.Ambient = {1, 1, 1, 1};
  SetIdentity({&m_world, &m_translation, &m_rotationX, &m_rotationY, &m_rotationZ, &m_scaling});
}

CKVRRenderObject::~CKVRRenderObject() { CKVRRenderObject::ReleaseBuffers(); }

CKVRRenderObject::CKVRRenderObject(CKVRRenderObject&& other) noexcept : CKVRRenderObjectFields(other) {
  other.m_vertexBuffer = nullptr;
  other.m_indexBuffer = nullptr;
  other.m_lockedVertices = nullptr;
  other.m_lockedIndices = nullptr;
}

CKVRRenderObject& CKVRRenderObject::operator=(CKVRRenderObject&& other) noexcept {
  if (this == &other) return *this;
  CKVRRenderObject::ReleaseBuffers();
  static_cast<CKVRRenderObjectFields&>(*this) = other;
  other.m_vertexBuffer = nullptr;
  other.m_indexBuffer = nullptr;
  other.m_lockedVertices = nullptr;
  other.m_lockedIndices = nullptr;
  return *this;
}

void CKVRRenderObject::ReleaseBuffers() {
  if (m_vertexBuffer) m_vertexBuffer->Release();
  m_vertexBuffer = nullptr;
  if (m_indexBuffer) m_indexBuffer->Release();
  m_indexBuffer = nullptr;
}

bool CKVRRenderObject::HitTest(const D3DXVECTOR3&, const D3DXVECTOR3&) { return false; }

bool CKVRRenderObject::CreateBuffers() {
  IDirect3DDevice9* device = g_Engine.Device();
  if (!device || m_vertexCount < 0 || m_indexCount < 0) return false;
  if (FAILED(device->CreateVertexBuffer(UINT(m_vertexCount) * sizeof(VertexPNDT), 0, VertexPNDT_FVF,
                                        D3DPOOL_MANAGED, &m_vertexBuffer, nullptr))) {
    m_vertexBuffer = nullptr;
    return false;
  }
  if (m_indexCount == 0) return true;
  if (FAILED(device->CreateIndexBuffer(UINT(m_indexCount) * sizeof(WORD), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                       &m_indexBuffer, nullptr))) {
    m_indexBuffer = nullptr;
    return false;
  }
  return true;
}

bool CKVRRenderObject::LockBuffers() {
  if (!m_vertexBuffer) return false;
  void* vertices = nullptr;
  if (FAILED(m_vertexBuffer->Lock(0, 0, &vertices, 0))) return false;
  m_lockedVertices = static_cast<VertexPNDT*>(vertices);
  if (!m_indexBuffer) return true;
  void* indices = nullptr;
  if (FAILED(m_indexBuffer->Lock(0, 0, &indices, 0))) {
    // Nothing stays locked after a failure.
    m_vertexBuffer->Unlock();
    m_lockedVertices = nullptr;
    return false;
  }
  m_lockedIndices = static_cast<WORD*>(indices);
  return true;
}

void CKVRRenderObject::UnlockBuffers() {
  if (m_vertexBuffer && m_lockedVertices) m_vertexBuffer->Unlock();
  m_lockedVertices = nullptr;
  if (m_indexBuffer && m_lockedIndices) m_indexBuffer->Unlock();
  m_lockedIndices = nullptr;
}

void CKVRRenderObject::ComputeWorldMatrix(D3DXMATRIX* out) const {
  *out = WorldOf(m_scaling, m_rotationX, m_rotationY, m_rotationZ, m_translation);
}

void CKVRRenderObject::DrawBuffers() {
  IDirect3DDevice9* device = g_Engine.Device();
  if (!m_vertexBuffer || m_primitiveCount <= 0) return;
  device->SetStreamSource(0, m_vertexBuffer, 0, sizeof(VertexPNDT));
  device->SetFVF(VertexPNDT_FVF);
  if (m_indexBuffer) {
    device->SetIndices(m_indexBuffer);
    device->DrawIndexedPrimitive(m_primitiveType, 0, 0, UINT(m_vertexCount), 0, UINT(m_primitiveCount));
  } else {
    device->SetIndices(nullptr);
    device->DrawPrimitive(m_primitiveType, 0, UINT(m_primitiveCount));
  }
}

bool CKVRRenderObject::PickTriangles(const D3DXMATRIX& world, const D3DXVECTOR3& origin,
                                     const D3DXVECTOR3& direction, const std::vector<TriangleRange>& ranges) {
  if (m_primitiveType != D3DPT_TRIANGLELIST || !LockBuffers()) return false;
  bool hit = false;
  if (m_lockedIndices) {
    D3DXMATRIX inverse;
    D3DXMatrixIdentity(&inverse);
    D3DXMatrixInverse(&inverse, nullptr, &world);
    D3DXVECTOR3 localOrigin, localDirection;
    D3DXVec3TransformCoord(&localOrigin, &origin, &inverse);
    D3DXVec3TransformNormal(&localDirection, &direction, &inverse);
    for (const TriangleRange& range : ranges) {
      // A range with fewer indices than its triangles need, or outside the
      // buffers, names no triangles.
      if (range.indexCount < 3 * range.primitiveCount || range.startIndex < 0 ||
          range.startIndex + 3 * range.primitiveCount > m_indexCount || range.baseVertex < 0 ||
          range.baseVertex + range.vertexCount > m_vertexCount)
        continue;
      for (int t = 0; t < range.primitiveCount && !hit; ++t) {
        const WORD* tri = m_lockedIndices + range.startIndex + 3 * t;
        // Indices past the range's vertices name no triangle.
        if (tri[0] >= range.vertexCount || tri[1] >= range.vertexCount || tri[2] >= range.vertexCount)
          continue;
        const VertexPNDT* v = m_lockedVertices + range.baseVertex;
        const D3DXVECTOR3 p0(v[tri[0]].x, v[tri[0]].y, v[tri[0]].z);
        const D3DXVECTOR3 p1(v[tri[1]].x, v[tri[1]].y, v[tri[1]].z);
        const D3DXVECTOR3 p2(v[tri[2]].x, v[tri[2]].y, v[tri[2]].z);
        hit = D3DXIntersectTri(&p0, &p1, &p2, &localOrigin, &localDirection, nullptr, nullptr, nullptr) != 0;
      }
      if (hit) break;
    }
  }
  UnlockBuffers();
  return hit;
}

// ---- single mesh --------------------------------------------------------------------------------
void CKVR3DObject::Render() {
  IDirect3DDevice9* device = g_Engine.Device();
  if (!device) return;
  ComputeWorldMatrix(&m_world);
  device->SetTransform(D3DTS_WORLD, &m_world);
  device->SetMaterial(&m_material);
  if (m_texture) {
    device->SetTexture(0, m_texture->m_d3dTexture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  } else {
    device->SetTexture(0, nullptr);
  }
  DrawBuffers();
}

void CKVR3DObject::RenderNoTexture() {
  IDirect3DDevice9* device = g_Engine.Device();
  if (!device) return;
  ComputeWorldMatrix(&m_world);
  device->SetTransform(D3DTS_WORLD, &m_world);
  device->SetMaterial(&m_material);
  DrawBuffers();
}

bool CKVR3DObject::Pick(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction) {
  return PickTriangles(m_world, origin, direction, {{0, m_vertexCount, 0, m_indexCount, m_primitiveCount}});
}

// ---- multi-object ----------------------------------------------------------------------------------
void CKVR3DMultiObject::RenderSubObject(int index) {
  const CKVR3DObjectRenderParam& p = m_renderParams[size_t(index)];
  if (!g_Engine.Device() || p.m_primitiveCount <= 0 || p.m_indexCount <= 0) return;
  g_Engine.Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, p.m_baseVertex, 0, UINT(p.m_vertexCount),
                                          UINT(p.m_startIndex), UINT(p.m_primitiveCount));
}

bool CKVR3DMultiObject::Pick(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction) {
  // Sub-object indices are local: each range reads its own vertices.
  std::vector<TriangleRange> ranges;
  ranges.reserve(m_renderParams.size());
  for (const CKVR3DObjectRenderParam& p : m_renderParams)
    ranges.push_back({p.m_baseVertex, p.m_vertexCount, p.m_startIndex, p.m_indexCount, p.m_primitiveCount});
  return PickTriangles(m_world, origin, direction, ranges);
}

bool CKVR3DMultiObject::BuildFromCreateParams(const std::vector<CKVR3DObjectCreateParam>& params) {
  m_vertexCount = m_indexCount = m_primitiveCount = 0;
  m_renderParams.assign(params.size(), CKVR3DObjectRenderParam());
  for (size_t j = 0; j < params.size(); ++j) {
    const CKVR3DObjectCreateParam& c = params[j];
    if (c.m_positions.size() > size_t(kMaxSubObjectVertices) || !IndicesFit(c.m_indices) ||
        c.m_normals.size() < c.m_positions.size() || c.m_texCoords.size() < c.m_positions.size())
      return false;
    CKVR3DObjectRenderParam& r = m_renderParams[j];
    r.m_vertexCount = int(c.m_positions.size());
    r.m_baseVertex = m_vertexCount;
    r.m_lastVertex = r.m_baseVertex + r.m_vertexCount - 1;
    r.m_indexCount = int(c.m_indices.size());
    r.m_startIndex = m_indexCount;
    r.m_primitiveCount = c.m_primitiveCount;
    m_vertexCount += r.m_vertexCount;
    m_indexCount += r.m_indexCount;
    m_primitiveCount += r.m_primitiveCount;
  }
  if (!CreateBuffers() || !LockBuffers()) return false;
  VertexPNDT* vertex = m_lockedVertices;
  WORD* index = m_lockedIndices;
  for (const CKVR3DObjectCreateParam& c : params) {
    for (size_t i = 0; i < c.m_positions.size(); ++i)
      *vertex++ = MakeVertex(c.m_positions[i], c.m_normals[i], c.m_texCoords[i]);
    if (index)
      for (int i : c.m_indices) *index++ = WORD(i);
  }
  UnlockBuffers();
  return true;
}

void CKVR3DMultiObject::SetSubObjectPosition(int index, const D3DXVECTOR3& position) {
  CKVR3DObjectRenderParam& p = m_renderParams[size_t(index)];
  p.m_position = position;
  D3DXMatrixTranslation(&p.m_translation, position.x, position.y, position.z);
}

void CKVR3DMultiObject::SetSubObjectRotation(int index, float x, float y, float z) {
  CKVR3DObjectRenderParam& p = m_renderParams[size_t(index)];
  p.m_rotation = D3DXVECTOR3(x, y, z);
  D3DXMatrixRotationX(&p.m_rotationX, x);
  D3DXMatrixRotationY(&p.m_rotationY, y);
  D3DXMatrixRotationZ(&p.m_rotationZ, z);
}

void CKVR3DMultiObject::SetSubObjectRotationVec(int index, const D3DXVECTOR3& rotation) {
  SetSubObjectRotation(index, rotation.x, rotation.y, rotation.z);
}

void CKVR3DMultiObject::SetSubObjectScale(int index, float sx, float sy, float sz) {
  CKVR3DObjectRenderParam& p = m_renderParams[size_t(index)];
  p.m_scale = D3DXVECTOR3(sx, sy, sz);
  D3DXMatrixScaling(&p.m_scaling, sx, sy, sz);
}

void CKVR3DMultiObject::UpdateSubObjectMatrix(int index) {
  CKVR3DObjectRenderParam& p = m_renderParams[size_t(index)];
  p.m_world = WorldOf(p.m_scaling, p.m_rotationX, p.m_rotationY, p.m_rotationZ, p.m_translation);
}

void CKVR3DMultiObject::GetSubObjectMatrix(int index, D3DXMATRIX* out) const {
  *out = m_renderParams[size_t(index)].m_world;
}

void CKVR3DMultiObject::ComputeSubObjectRadius(int index) {
  CKVR3DObjectRenderParam& p = m_renderParams[size_t(index)];
  if (m_vertexCount == 0 || !m_lockedVertices) return;
  float largest = 0.0f;
  for (int i = p.m_baseVertex; i <= p.m_lastVertex; ++i) {
    const VertexPNDT& v = m_lockedVertices[i];
    largest = std::max(largest, v.x * v.x + v.y * v.y + v.z * v.z);
  }
  p.m_radius = std::sqrt(largest);
}

// ---- mesh builders ------------------------------------------------------------------------------------
bool BuildMesh(CKVRRenderObject& object, const std::vector<D3DXVECTOR3>& positions,
               const std::vector<D3DXVECTOR3>& normals, const std::vector<D3DXVECTOR2>& texCoords,
               const std::vector<int>& indices, int primitiveCount) {
  if (positions.empty() || positions.size() > size_t(kMaxSubObjectVertices) ||
      normals.size() < positions.size() || texCoords.size() < positions.size() || !IndicesFit(indices))
    return false;
  object.m_primitiveCount = primitiveCount;
  object.m_vertexCount = int(positions.size());
  object.m_indexCount = int(indices.size());
  if (!object.CreateBuffers() || !object.LockBuffers()) return false;
  for (size_t i = 0; i < positions.size(); ++i)
    object.m_lockedVertices[i] = MakeVertex(positions[i], normals[i], texCoords[i]);
  for (size_t k = 0; k < indices.size(); ++k) object.m_lockedIndices[k] = WORD(indices[k]);
  object.UnlockBuffers();
  return true;
}

bool BuildQuadMesh(CKVRRenderObject& object, const std::vector<D3DXVECTOR3>& positions,
                   const std::vector<D3DXVECTOR3>& normals, const std::vector<D3DXVECTOR2>& texCoords,
                   const std::vector<int>& indices) {
  return BuildMesh(object, positions, normals, texCoords, indices, 2);
}

bool BuildSphereMesh(CKVR3DObjectCreateParam& mesh, float radius) {
  constexpr int kRings = 33, kColumns = 33, kPrimitives = 2048;
  mesh.m_positions.assign(size_t(kRings * kColumns), D3DXVECTOR3(0, 0, 0));
  mesh.m_normals.assign(mesh.m_positions.size(), D3DXVECTOR3(0, 0, 0));
  mesh.m_texCoords.assign(mesh.m_positions.size(), D3DXVECTOR2(0, 0));
  mesh.m_indices.assign(size_t(3 * kPrimitives), 0);
  mesh.m_primitiveCount = kPrimitives;
  for (int i = 0; i < kRings; ++i) {
    const float latitude = D3DX_PI / 2 - float(i) * D3DX_PI / 32;
    for (int j = 0; j < kColumns; ++j) {
      const float longitude = float(j) * D3DX_PI / 16;
      const size_t v = size_t(kColumns * i + j);
      const D3DXVECTOR3 p(radius * std::cos(latitude) * std::sin(longitude),
                          radius * std::cos(latitude) * std::cos(longitude), radius * std::sin(latitude));
      mesh.m_positions[v] = p;
      D3DXVec3Normalize(&mesh.m_normals[v], &p);
      mesh.m_texCoords[v] = D3DXVECTOR2(float(j) / 32, float(i) / 32);
    }
  }
  int position = 0;
  for (int i = 0; i < kRings - 1; ++i) {
    for (int j = 0; j < kColumns - 1; ++j) {
      const int k = kColumns * i + j;
      AddTriangleIndices(mesh.m_indices, position, k, k + 1, k + kColumns + 1);
      AddTriangleIndices(mesh.m_indices, position, k, k + kColumns + 1, k + kColumns);
    }
  }
  return true;
}

void FlipMeshInsideOut(CKVR3DObjectCreateParam& mesh) {
  const size_t triangles = std::min(size_t(std::max(mesh.m_primitiveCount, 0)), mesh.m_indices.size() / 3);
  for (size_t t = 0; t < triangles; ++t) std::swap(mesh.m_indices[3 * t + 1], mesh.m_indices[3 * t + 2]);
  for (D3DXVECTOR3& n : mesh.m_normals) n = -n;
}

bool BuildGridMesh(CKVRRenderObject& object, float width, float height, int cellsAcross, int cellsDown) {
  const int nx = cellsAcross, ny = cellsDown;
  if (nx < 1 || ny < 1 || (nx + 1) * (ny + 1) > kMaxSubObjectVertices) return false;
  object.m_primitiveCount = 2 * nx * ny;
  object.m_vertexCount = (nx + 1) * (ny + 1);
  object.m_indexCount = 6 * nx * ny;
  if (!object.CreateBuffers() || !object.LockBuffers()) return false;
  const D3DXVECTOR3 up(0, 0, 1);
  for (int r = 0; r <= ny; ++r) {
    for (int c = 0; c <= nx; ++c) {
      const float s = float(c) / float(nx), t = float(r) / float(ny);
      const D3DXVECTOR3 p(-width / 2 + s * width, -height / 2 + t * height, 0.0f);
      object.m_lockedVertices[r * (nx + 1) + c] = MakeVertex(p, up, D3DXVECTOR2(s, t));
    }
  }
  WORD* index = object.m_lockedIndices;
  for (int r = 0; r < ny; ++r) {
    for (int c = 0; c < nx; ++c) {
      const int a = r * (nx + 1) + c, b = a + nx + 1;
      for (int i : {a, a + 1, b + 1, a, b + 1, b}) *index++ = WORD(i);
    }
  }
  object.UnlockBuffers();
  return true;
}

void AddTriangleIndices(std::vector<int>& indices, int& position, int i0, int i1, int i2) {
  indices[size_t(position)] = i0;
  indices[size_t(position) + 1] = i1;
  indices[size_t(position) + 2] = i2;
  position += 3;
}
