// Render objects, multi-objects and mesh builders on the recording device.
#include <cmath>

#include "engine/draw_resources.h"
#include "engine/render_object.h"
#include "engine_fixture.h"

namespace {

CKVR3DObjectCreateParam Mesh(int vertices, std::vector<int> indices, int primitives) {
  CKVR3DObjectCreateParam p;
  for (int i = 0; i < vertices; ++i) {
    p.m_positions.push_back(D3DXVECTOR3(float(i), float(2 * i), float(-i)));
    p.m_normals.push_back(D3DXVECTOR3(0, 0, 1));
    p.m_texCoords.push_back(D3DXVECTOR2(0.5f, float(i)));
  }
  p.m_indices = std::move(indices);
  p.m_primitiveCount = primitives;
  return p;
}

// A unit square in z = 0 made of two triangles.
bool BuildSquare(CKVRRenderObject& object) {
  return BuildQuadMesh(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}},
                       std::vector<D3DXVECTOR3>(4, D3DXVECTOR3(0, 0, 1)), {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
                       {0, 1, 2, 2, 1, 3});
}

class RenderObjectTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartEngine();
    g_Engine.Device()->BeginScene();
  }
  void TearDown() override {
    m_multi.ReleaseBuffers();
    m_object.ReleaseBuffers();
    EngineTest::TearDown();
  }
  CKVR3DMultiObject m_multi;
  CKVR3DObject m_object;
};

}  // namespace

// ---- multi-objects ----------------------------------------------------------------------
TEST_F(RenderObjectTest, SubObjectsShareTheBuffersWithLocalIndices) {
  ASSERT_TRUE(m_multi.BuildFromCreateParams(
      {Mesh(4, {0, 1, 2, 2, 1, 3}, 2), Mesh(6, {0, 1, 2, 3, 4, 5, 5, 4, 3}, 3)}));
  ASSERT_EQ(m_multi.m_renderParams.size(), 2u);
  const auto& a = m_multi.m_renderParams[0];
  const auto& b = m_multi.m_renderParams[1];
  EXPECT_EQ(std::vector<int>({a.m_baseVertex, a.m_lastVertex, a.m_startIndex, a.m_indexCount}),
            std::vector<int>({0, 3, 0, 6}));
  EXPECT_EQ(std::vector<int>({b.m_baseVertex, b.m_lastVertex, b.m_startIndex, b.m_indexCount}),
            std::vector<int>({4, 9, 6, 9}));
  EXPECT_EQ(std::vector<int>({m_multi.m_vertexCount, m_multi.m_indexCount, m_multi.m_primitiveCount}),
            std::vector<int>({10, 15, 5}));
  ASSERT_TRUE(m_multi.LockBuffers());
  EXPECT_EQ(m_multi.m_lockedIndices[6], 0);  // the second mesh's indices are unchanged
  EXPECT_EQ(m_multi.m_lockedIndices[14], 3);
  const VertexPNDT& v = m_multi.m_lockedVertices[5];  // vertex 1 of the second mesh
  EXPECT_EQ(std::vector<float>({v.x, v.y, v.z, v.nz, v.u, v.v}), std::vector<float>({1, 2, -1, 1, 0.5f, 1}));
  EXPECT_EQ(v.diffuse, 0xFFFFFFFFu);
  m_multi.ComputeSubObjectRadius(1);  // the last vertex (5, 10, -5) is the farthest
  EXPECT_FLOAT_EQ(m_multi.m_renderParams[1].m_radius, std::sqrt(150.0f));
  m_multi.UnlockBuffers();
}

TEST_F(RenderObjectTest, SubObjectDrawsItsOwnRange) {
  ASSERT_TRUE(m_multi.BuildFromCreateParams(
      {Mesh(4, {0, 1, 2, 2, 1, 3}, 2), Mesh(6, {0, 1, 2, 3, 4, 5, 5, 4, 3}, 3)}));
  g_Engine.Device()->SetStreamSource(0, m_multi.m_vertexBuffer, 0, sizeof(VertexPNDT));
  g_Engine.Device()->SetFVF(VertexPNDT_FVF);
  g_Engine.Device()->SetIndices(m_multi.m_indexBuffer);
  m_script.m_log.Clear();
  m_multi.RenderSubObject(1);
  m_multi.RenderSubObject(0);
  // The recording device checks every index against the bound buffers.
  EXPECT_EQ(Log().Entries(), (std::vector<std::string>{"DrawIndexedPrimitive 4 4 0 6 6 3",
                                                       "DrawIndexedPrimitive 4 0 0 4 0 2"}));
}

TEST_F(RenderObjectTest, MeshesThatDoNotFitSixteenBitIndicesAreRefused) {
  EXPECT_FALSE(m_multi.BuildFromCreateParams({Mesh(65537, {0, 1, 2}, 1)}));
  EXPECT_FALSE(m_multi.BuildFromCreateParams({Mesh(4, {0, 1, 65536}, 1)}));
  EXPECT_FALSE(m_multi.BuildFromCreateParams({Mesh(4, {0, -1, 2}, 1)}));
  EXPECT_EQ(Log().Count("CreateVertexBuffer"), 0);
  // 65,536 vertices is the most a sub-object may have; the total may be larger.
  EXPECT_TRUE(m_multi.BuildFromCreateParams({Mesh(65536, {0, 65535, 1}, 1), Mesh(3, {0, 1, 2}, 1)}));
  EXPECT_EQ(m_multi.m_renderParams[1].m_baseVertex, 65536);
}

TEST_F(RenderObjectTest, MeshesWithoutIndicesDrawNothing) {
  ASSERT_TRUE(m_multi.BuildFromCreateParams({Mesh(3, {}, 0)}));
  EXPECT_EQ(m_multi.m_indexBuffer, nullptr);
  m_script.m_log.Clear();
  m_multi.RenderSubObject(0);
  EXPECT_EQ(Log().Count("Draw"), 0);
  m_object.m_vertexCount = 3;
  ASSERT_TRUE(m_object.CreateBuffers());
  m_object.Render();  // no primitives
  EXPECT_EQ(Log().Count("Draw"), 0);
}

TEST_F(RenderObjectTest, SubObjectTransformChangesOnlyWithItsUpdate) {
  ASSERT_TRUE(m_multi.BuildFromCreateParams({Mesh(3, {0, 1, 2}, 1)}));
  D3DXMATRIX world, identity;
  D3DXMatrixIdentity(&identity);
  m_multi.GetSubObjectMatrix(0, &world);
  EXPECT_EQ(world, identity);
  m_multi.SetSubObjectRotation(0, 0, 0, D3DX_PI / 2);
  m_multi.SetSubObjectPosition(0, D3DXVECTOR3(10, 0, 0));
  m_multi.GetSubObjectMatrix(0, &world);
  EXPECT_EQ(world, identity);
  m_multi.UpdateSubObjectMatrix(0);
  m_multi.GetSubObjectMatrix(0, &world);
  D3DXVECTOR3 p(1, 0, 0), out;
  D3DXVec3TransformCoord(&out, &p, &world);  // turned to +y, then moved
  EXPECT_NEAR(out.x, 10, 1e-5);
  EXPECT_NEAR(out.y, 1, 1e-5);
}

// ---- ownership ---------------------------------------------------------------------------------
// An object gives its buffers back when it goes, also when the owner forgot
// to (the GL context stayed alive through such a forgotten grid); a move
// hands them over.
TEST_F(RenderObjectTest, BuffersAreReleasedOnDestructionOnceAndHandedOverByAMove) {
  IDirect3DVertexBuffer9* vertices = nullptr;
  IDirect3DIndexBuffer9* indices = nullptr;
  {
    CKVR3DObject a;
    ASSERT_TRUE(BuildSquare(a));
    vertices = a.m_vertexBuffer;
    indices = a.m_indexBuffer;
    vertices->AddRef();  // our own reference outlives the object's
    indices->AddRef();
    CKVR3DObject b(std::move(a));
    EXPECT_EQ(a.m_vertexBuffer, nullptr);
    EXPECT_EQ(b.m_vertexBuffer, vertices);
    EXPECT_EQ(b.m_vertexCount, 4);
    CKVR3DObject c;
    ASSERT_TRUE(BuildSquare(c));
    c = std::move(b);  // c's own square is released first
    EXPECT_EQ(c.m_indexBuffer, indices);
    c.ReleaseBuffers();  // early, then again by the destructor: harmless
    EXPECT_EQ(c.m_vertexBuffer, nullptr);
  }
  EXPECT_EQ(vertices->Release(), 0u);  // ours was the last reference
  EXPECT_EQ(indices->Release(), 0u);
  {
    CKVR3DMultiObject forgotten;
    ASSERT_TRUE(forgotten.BuildFromCreateParams({Mesh(4, {0, 1, 2, 2, 1, 3}, 2)}));
    vertices = forgotten.m_vertexBuffer;
    vertices->AddRef();
  }
  EXPECT_EQ(vertices->Release(), 0u);
}

// ---- world matrix ---------------------------------------------------------------------------
TEST_F(RenderObjectTest, WorldScalesThenTurnsAboutXYZThenMoves) {
  CKVRRenderObject o;
  D3DXMATRIX world;
  o.ComputeWorldMatrix(&world);  // starts as identity
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  EXPECT_EQ(world, identity);
  EXPECT_EQ(o.m_world, identity);
  D3DXMatrixScaling(&o.m_scaling, 2, 3, 4);
  D3DXMatrixRotationX(&o.m_rotationX, D3DX_PI / 2);
  D3DXMatrixRotationY(&o.m_rotationY, D3DX_PI / 2);
  D3DXMatrixRotationZ(&o.m_rotationZ, D3DX_PI / 2);
  D3DXMatrixTranslation(&o.m_translation, 100, 200, 300);
  o.ComputeWorldMatrix(&world);
  // (0, 1, 0) -> scaled (0, 3, 0) -> about X (0, 0, 3) -> about Y (3, 0, 0)
  // -> about Z (0, 3, 0) -> moved (100, 203, 300).
  const D3DXVECTOR3 p(0, 1, 0);
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &p, &world);
  EXPECT_NEAR(out.x, 100, 1e-4);
  EXPECT_NEAR(out.y, 203, 1e-4);
  EXPECT_NEAR(out.z, 300, 1e-4);
}

// ---- single meshes ----------------------------------------------------------------------------
TEST_F(RenderObjectTest, RenderSetsTextureStageOnlyWithATextureRecord) {
  ASSERT_TRUE(BuildSquare(m_object));
  m_script.m_log.Clear();
  m_object.Render();
  EXPECT_EQ(Log().Entries(),
            (std::vector<std::string>{"SetTransform 256", "SetMaterial", "SetTexture 0 null",
                                      "SetStreamSource 0 vb1 0 36", "SetFVF 338", "SetIndices ib1",
                                      "DrawIndexedPrimitive 4 0 0 4 0 2"}));
  CKVRTexture failed;  // a record whose picture did not load
  m_object.m_texture = &failed;
  m_script.m_log.Clear();
  m_object.Render();
  EXPECT_TRUE(Log().Contains("SetTexture 0 null"));
  EXPECT_TRUE(Log().Contains("SetTextureStageState 0 1 4"));  // COLOROP MODULATE
  EXPECT_TRUE(Log().Contains("SetTextureStageState 0 4 1"));  // ALPHAOP DISABLE
  m_script.m_log.Clear();
  m_object.RenderNoTexture();
  EXPECT_EQ(Log().Count("SetTexture"), 0);
  EXPECT_EQ(Log().Count("DrawIndexedPrimitive 4 0 0 4 0 2"), 1);
}

TEST_F(RenderObjectTest, ObjectWithoutIndicesDrawsItsVerticesInOrder) {
  m_object.m_vertexCount = 6;
  m_object.m_primitiveCount = 2;
  ASSERT_TRUE(m_object.CreateBuffers());
  EXPECT_EQ(m_object.m_indexBuffer, nullptr);
  m_script.m_log.Clear();
  m_object.Render();
  EXPECT_TRUE(Log().Contains("SetIndices null"));
  EXPECT_EQ(Log().Entries().back(), "DrawPrimitive 4 0 2");
}

TEST_F(RenderObjectTest, GridHasCentredPositionsAndUnitTextureCoordinates) {
  ASSERT_TRUE(BuildGridMesh(m_object, 100, 50, 1, 1));
  EXPECT_EQ(m_object.m_primitiveCount, 2);
  ASSERT_TRUE(m_object.LockBuffers());
  const float expected[4][4] = {{-50, -25, 0, 0}, {50, -25, 1, 0}, {-50, 25, 0, 1}, {50, 25, 1, 1}};
  for (int i = 0; i < 4; ++i) {
    const VertexPNDT& v = m_object.m_lockedVertices[i];
    EXPECT_EQ(std::vector<float>({v.x, v.y, v.u, v.v}), std::vector<float>(expected[i], expected[i] + 4))
        << i;
    EXPECT_EQ(std::vector<float>({v.z, v.nx, v.ny, v.nz}), std::vector<float>({0, 0, 0, 1}));
  }
  EXPECT_EQ(std::vector<WORD>(m_object.m_lockedIndices, m_object.m_lockedIndices + 6),
            std::vector<WORD>({0, 1, 3, 0, 3, 2}));
  m_object.UnlockBuffers();
  m_object.ReleaseBuffers();
  ASSERT_TRUE(BuildGridMesh(m_object, 40, 40, 4, 2));
  EXPECT_EQ(std::vector<int>({m_object.m_vertexCount, m_object.m_indexCount}), std::vector<int>({15, 48}));
  EXPECT_FALSE(BuildGridMesh(m_object, 40, 40, 0, 2));
}

TEST_F(RenderObjectTest, TriangleIndicesAreWrittenInPlace) {
  std::vector<int> indices(6, -1);
  int position = 0;
  AddTriangleIndices(indices, position, 4, 5, 6);
  AddTriangleIndices(indices, position, 7, 8, 9);
  EXPECT_EQ(indices, std::vector<int>({4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(position, 6);
}

// ---- picking -----------------------------------------------------------------------------------
TEST_F(RenderObjectTest, PickHitsFacesFromBothSidesAndEdgesInclusive) {
  ASSERT_TRUE(BuildSquare(m_object));
  D3DXMatrixTranslation(&m_object.m_translation, 10, 0, 0);
  m_object.Render();  // computes m_world
  struct Case {
    D3DXVECTOR3 origin, direction;
    bool hit;
  } cases[] = {
      {{10.25f, 0.25f, 5}, {0, 0, -1}, true},  // from above
      {{10.25f, 0.25f, -5}, {0, 0, 1}, true},  // from below
      {{10, 0, 5}, {0, 0, -1}, true},          // a corner
      {{10.5f, 0.5f, 5}, {0, 0, -1}, true},    // the shared edge
      {{0.25f, 0.25f, 5}, {0, 0, -1}, false},  // where it was before moving
      {{10.25f, 0.25f, 5}, {0, 0, 1}, false},  // pointing away
      {{11.01f, 0.5f, 5}, {0, 0, -1}, false},  // just outside
  };
  for (const Case& c : cases)
    EXPECT_EQ(m_object.Pick(c.origin, c.direction), c.hit)
        << c.origin.x << "," << c.origin.y << "," << c.origin.z;
  EXPECT_EQ(Log().Count("VB.Lock"), Log().Count("VB.Unlock"));
}

TEST_F(RenderObjectTest, MultiObjectPickReadsEachSubObjectThroughItsBaseVertex) {
  // Two unit squares with the same local indices, the second at x = 10.
  auto square = [](float x) {
    CKVR3DObjectCreateParam p;
    p.m_positions = {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}, {x + 1, 1, 0}};
    p.m_normals.assign(4, D3DXVECTOR3(0, 0, 1));
    p.m_texCoords.assign(4, D3DXVECTOR2(0, 0));
    p.m_indices = {0, 1, 2, 2, 1, 3};
    p.m_primitiveCount = 2;
    return p;
  };
  ASSERT_TRUE(m_multi.BuildFromCreateParams({square(0), square(10)}));
  const D3DXVECTOR3 down(0, 0, -1);
  EXPECT_TRUE(m_multi.Pick(D3DXVECTOR3(0.5f, 0.5f, 5), down));
  EXPECT_TRUE(m_multi.Pick(D3DXVECTOR3(10.5f, 0.5f, 5), down));
  EXPECT_FALSE(m_multi.Pick(D3DXVECTOR3(5.5f, 0.5f, 5), down));
  EXPECT_EQ(Log().Count("VB.Lock"), Log().Count("VB.Unlock"));
}

TEST_F(RenderObjectTest, DegenerateTrianglesAndNonListsNeverHit) {
  ASSERT_TRUE(BuildQuadMesh(m_object, {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {0, 0, 0}},
                            std::vector<D3DXVECTOR3>(4), std::vector<D3DXVECTOR2>(4), {0, 1, 2, 0, 3, 1}));
  EXPECT_FALSE(m_object.Pick(D3DXVECTOR3(1, 1, 5), D3DXVECTOR3(0, 0, -1)));
  m_object.ReleaseBuffers();
  ASSERT_TRUE(BuildSquare(m_object));
  m_object.m_primitiveType = D3DPT_TRIANGLESTRIP;
  EXPECT_FALSE(m_object.Pick(D3DXVECTOR3(0.25f, 0.25f, 5), D3DXVECTOR3(0, 0, -1)));
}

TEST_F(RenderObjectTest, FailedIndexLockLeavesNothingLocked) {
  ASSERT_TRUE(BuildSquare(m_object));
  m_script.m_failLockAt = m_script.m_lockNumber + 1;  // the index buffer's lock
  EXPECT_FALSE(m_object.LockBuffers());
  EXPECT_EQ(m_object.m_lockedVertices, nullptr);
  m_script.m_log.Clear();
  m_object.Render();  // a locked buffer would make the recording draw invalid
  EXPECT_EQ(Log().Entries().back(), "DrawIndexedPrimitive 4 0 0 4 0 2");
}

TEST_F(RenderObjectTest, BuildersAnswerFalseWhenBuffersFail) {
  m_script.m_failResourceCreation = true;
  EXPECT_FALSE(BuildSquare(m_object));
  EXPECT_FALSE(BuildGridMesh(m_object, 1, 1, 1, 1));
  EXPECT_FALSE(m_multi.BuildFromCreateParams({Mesh(3, {0, 1, 2}, 1)}));
  m_script.m_failResourceCreation = false;
  m_script.m_failAllLocks = true;
  EXPECT_FALSE(m_multi.BuildFromCreateParams({Mesh(3, {0, 1, 2}, 1)}));
}
