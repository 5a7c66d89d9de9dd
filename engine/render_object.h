#pragma once
// Render objects: a vertex buffer and an index buffer in the managed pool, a
// material, an optional texture record and a transform of position, rotation
// and scale. CKVR3DObject is one mesh; CKVR3DMultiObject packs many meshes
// (sub-objects) into one shared pair of buffers and draws and transforms each
// separately. Mesh builders fill buffers directly.
//
// Vertices are VertexPNDT (36 bytes, FVF 0x152), indices 16-bit, triangle
// lists. A sub-object's indices are local (numbered from 0); drawing passes its
// base vertex, so the shared buffer may hold any number of vertices as long as
// each sub-object has at most 65,536.
//
// World matrices follow D3DX's row vectors: world = S x Rx x Ry x Rz x T.
// Whoever changes a position, rotation or scale rebuilds the matching part
// matrix at once (the Set... operations do). An object owns its buffers:
// ReleaseBuffers gives them back early, the destructor gives back whatever
// is left, and objects are not copied.
//
// Sections: create and render params - base object - single mesh -
// multi-object - mesh builders
#include <vector>

#include "platform/d3d9/d3d9.h"

class CKVRTexture;

// ---- create and render params ---------------------------------------------------------
// One mesh handed to CKVR3DMultiObject::BuildFromCreateParams.
class CKVR3DObjectCreateParam {
 public:
  virtual ~CKVR3DObjectCreateParam() = default;
  std::vector<D3DXVECTOR3> m_positions;
  std::vector<D3DXVECTOR3> m_normals;    // one per position
  std::vector<D3DXVECTOR2> m_texCoords;  // one per position
  std::vector<int> m_indices;            // triangle list, local to this mesh, 0..65535
  int m_primitiveCount = 0;              // set by the mesh's builder
};

// Draw range and transform of one sub-object.
class CKVR3DObjectRenderParam {
 public:
  CKVR3DObjectRenderParam();
  virtual ~CKVR3DObjectRenderParam() = default;
  int m_baseVertex = 0;
  int m_lastVertex = -1;  // m_baseVertex + m_vertexCount - 1
  int m_vertexCount = 0;
  int m_startIndex = 0;
  int m_indexCount = 0;
  int m_primitiveCount = 0;
  D3DXVECTOR3 m_position{0, 0, 0};
  D3DXVECTOR3 m_rotation{0, 0, 0};
  D3DXVECTOR3 m_scale{1, 1, 1};
  D3DXMATRIX m_world;  // identity until UpdateSubObjectMatrix
  D3DXMATRIX m_translation, m_rotationX, m_rotationY, m_rotationZ, m_scaling;  // identity
  float m_radius = 0.0f;
};

// ---- base object --------------------------------------------------------------------------
// The fields of a render object; a move takes them all.
struct CKVRRenderObjectFields {
  int m_indexCount = 0;
  int m_vertexCount = 0;
  int m_primitiveCount = 0;
  D3DPRIMITIVETYPE m_primitiveType = D3DPT_TRIANGLELIST;
  D3DMATERIAL9 m_material;           // diffuse and ambient (1,1,1,1), the rest 0
  CKVRTexture* m_texture = nullptr;  // not owned
  D3DXVECTOR3 m_position{0, 0, 0};
  D3DXVECTOR3 m_rotation{0, 0, 0};  // radians about X, Y, Z
  D3DXVECTOR3 m_scale{1, 1, 1};
  D3DXMATRIX m_world;  // identity until the first draw computes it
  D3DXMATRIX m_translation, m_rotationX, m_rotationY, m_rotationZ, m_scaling;  // identity
  IDirect3DVertexBuffer9* m_vertexBuffer = nullptr;
  IDirect3DIndexBuffer9* m_indexBuffer = nullptr;
  VertexPNDT* m_lockedVertices = nullptr;  // valid only while locked
  WORD* m_lockedIndices = nullptr;
};

class CKVRRenderObject : public CKVRRenderObjectFields {
 public:
  CKVRRenderObject();
  // Releases the buffers still held (none after ReleaseBuffers).
  virtual ~CKVRRenderObject();
  // One owner per buffer: no copies; a move hands the buffers over and
  // leaves the source without any (the target's own are released first).
  CKVRRenderObject(const CKVRRenderObject&) = delete;
  CKVRRenderObject& operator=(const CKVRRenderObject&) = delete;
  CKVRRenderObject(CKVRRenderObject&& other) noexcept;
  CKVRRenderObject& operator=(CKVRRenderObject&& other) noexcept;

  // Releases the vertex buffer, then the index buffer; harmless when absent
  // or already released.
  virtual void ReleaseBuffers();
  // Draws nothing.
  virtual void Render() {}
  // Answers false in every class.
  virtual bool HitTest(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction);
  // A vertex buffer of m_vertexCount x 36 bytes and, when m_indexCount is not
  // 0, an index buffer of m_indexCount x 2 bytes (usage 0, managed). false as
  // soon as one creation fails. Existing buffers are not released first.
  virtual bool CreateBuffers();

  // Locks the whole vertex buffer and, if there is one, the whole index
  // buffer. false without a vertex buffer or when a lock fails; then nothing
  // stays locked.
  bool LockBuffers();
  // Ends a successful LockBuffers.
  void UnlockBuffers();
  // m_scaling x m_rotationX x m_rotationY x m_rotationZ x m_translation.
  void ComputeWorldMatrix(D3DXMATRIX* out) const;

 protected:
  // Sets the world transform and material, binds the buffers and draws.
  void DrawBuffers();
  // An index range of the buffers: primitiveCount triangles from startIndex,
  // whose indices name vertices baseVertex + 0 .. baseVertex + vertexCount - 1.
  struct TriangleRange {
    int baseVertex, vertexCount, startIndex, indexCount, primitiveCount;
  };
  // Ray test against the triangles of the ranges in object space of world:
  // true at the first triangle hit. Locks and unlocks the buffers.
  bool PickTriangles(const D3DXMATRIX& world, const D3DXVECTOR3& origin, const D3DXVECTOR3& direction,
                     const std::vector<TriangleRange>& ranges);
};

// ---- single mesh --------------------------------------------------------------------------
class CKVR3DObject : public CKVRRenderObject {
 public:
  // World transform, material, stage 0 (the texture record's texture with
  // texture x diffuse and alpha off, or no texture), then one draw: indexed
  // when there is an index buffer, else the vertices in order. Nothing is
  // drawn without a vertex buffer or primitives.
  void Render() override;
  // As Render, leaving texture and stage states as the caller set them.
  virtual void RenderNoTexture();
  // true at the first triangle (in index order) the world-space ray hits,
  // using m_world as last drawn. Triangle lists only.
  virtual bool Pick(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction);
};

// ---- multi-object --------------------------------------------------------------------------
class CKVR3DMultiObject : public CKVRRenderObject {
 public:
  // Sub-object index: 0-based, below m_renderParams.size().
  // One DrawIndexedPrimitive of the sub-object's range (triangle list, its base
  // vertex, minimum index 0, its vertex count, start index, primitives). Sets
  // nothing else: the caller has set the world, stream, FVF, indices, material
  // and texture stage. A sub-object without primitives draws nothing.
  virtual void RenderSubObject(int index);
  // The ray test over the triangles of every sub-object (each with its own
  // base vertex) with the multi-object's own m_world.
  virtual bool Pick(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction);

  // Packs the meshes into new shared buffers (call ReleaseBuffers first when
  // rebuilding); render param j describes create param j, with an identity
  // transform. false when a buffer cannot be made or locked, or when a mesh
  // has more than 65,536 vertices or an index outside 0..65535 (nothing is
  // truncated).
  bool BuildFromCreateParams(const std::vector<CKVR3DObjectCreateParam>& params);
  void SetSubObjectPosition(int index, const D3DXVECTOR3& position);
  void SetSubObjectRotation(int index, float x, float y, float z);
  void SetSubObjectRotationVec(int index, const D3DXVECTOR3& rotation);
  void SetSubObjectScale(int index, float sx, float sy, float sz);
  // m_world of the sub-object from its part matrices.
  void UpdateSubObjectMatrix(int index);
  void GetSubObjectMatrix(int index, D3DXMATRIX* out) const;
  // m_radius = the largest distance of the sub-object's vertices from the
  // mesh origin. Only while the buffers are locked.
  void ComputeSubObjectRadius(int index);

  std::vector<CKVR3DObjectRenderParam> m_renderParams;
};

// ---- mesh builders --------------------------------------------------------------------------
// Fills an object from four vectors (normals and texture coordinates at least
// as many as positions), vertex colours white, with primitiveCount
// primitives. false when buffers cannot be made or locked, when there are no
// positions, more than 65,536 of them, or an index outside 0..65535. The
// object's old buffers are not released first.
bool BuildMesh(CKVRRenderObject& object, const std::vector<D3DXVECTOR3>& positions,
               const std::vector<D3DXVECTOR3>& normals, const std::vector<D3DXVECTOR2>& texCoords,
               const std::vector<int>& indices, int primitiveCount);
// BuildMesh with 2 primitives.
bool BuildQuadMesh(CKVRRenderObject& object, const std::vector<D3DXVECTOR3>& positions,
                   const std::vector<D3DXVECTOR3>& normals, const std::vector<D3DXVECTOR2>& texCoords,
                   const std::vector<int>& indices);
// A sphere of the given radius round the origin into an emptied create param:
// 33 rings of 33 vertices (vertex 33 i + j at latitude pi/2 - i pi/32 and
// longitude j pi/16, ring 0 the +z pole, column 32 repeating column 0),
// normals pointing out, texture coordinates (j/32, i/32), and 2,048 triangles
// (k, k+1, k+34), (k, k+34, k+33) for k = 33 i + j, i, j below 32. true.
bool BuildSphereMesh(CKVR3DObjectCreateParam& mesh, float radius);
// Turns a mesh to be seen from inside: swaps the last two indices of every
// triangle and negates every normal.
void FlipMeshInsideOut(CKVR3DObjectCreateParam& mesh);
// A flat grid of width x height centred on the origin in the plane z = 0,
// cellsAcross x cellsDown cells (each at least 1), normal +z, texture
// coordinates 0..1 from (-w/2, -h/2) to (w/2, h/2). Two triangles per cell.
bool BuildGridMesh(CKVRRenderObject& object, float width, float height, int cellsAcross, int cellsDown);
// Writes i0, i1, i2 at position and the two places after it; position += 3.
// The vector is sized beforehand and never grows.
void AddTriangleIndices(std::vector<int>& indices, int& position, int i0, int i1, int i2);
