#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3d9/d3dx_math.h"

namespace {
constexpr float kTol = 1e-5f;

void ExpectNear(const D3DXVECTOR3& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, kTol);
  EXPECT_NEAR(v.y, y, kTol);
  EXPECT_NEAR(v.z, z, kTol);
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &p, &m);
  return out;
}
}  // namespace

TEST(Math, RowVectorsComposeLeftToRight) {
  // world = S * Rz * T: scale first, then turn, then move.
  D3DXMATRIX s, rz, t;
  D3DXMatrixScaling(&s, 2, 2, 2);
  D3DXMatrixRotationZ(&rz, D3DX_PI / 2);
  D3DXMatrixTranslation(&t, 10, 0, 0);
  ExpectNear(Transform({1, 0, 0}, s * rz * t), 10, 2, 0);
  // Rotations turn +Y towards +Z about X, and +Z towards +X about Y.
  D3DXMATRIX rx, ry;
  D3DXMatrixRotationX(&rx, D3DX_PI / 2);
  D3DXMatrixRotationY(&ry, D3DX_PI / 2);
  ExpectNear(Transform({0, 1, 0}, rx), 0, 0, 1);
  ExpectNear(Transform({0, 0, 1}, ry), 1, 0, 0);
}

TEST(Math, RotationAxisNormalisesAndMatchesTheAxisRotations) {
  D3DXMATRIX a, z;
  const D3DXVECTOR3 axis(0, 0, 5);
  D3DXMatrixRotationAxis(&a, &axis, 0.7f);
  D3DXMatrixRotationZ(&z, 0.7f);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a(i, j), z(i, j), kTol);
}

TEST(Math, LookAtLHMapsTheViewDirectionToPlusZ) {
  D3DXMATRIX v;
  const D3DXVECTOR3 eye(0, 0, 0), at(1, 0, 0), up(0, 0, 1);
  D3DXMatrixLookAtLH(&v, &eye, &at, &up);
  ExpectNear(Transform({5, 0, 0}, v), 0, 0, 5);  // ahead
  ExpectNear(Transform({0, 1, 0}, v), 1, 0, 0);  // right
  ExpectNear(Transform({0, 0, 1}, v), 0, 1, 0);  // up
  const D3DXVECTOR3 eye2(0, -100, 100), at2(0, 0, 0);
  D3DXMatrixLookAtLH(&v, &eye2, &at2, &up);
  ExpectNear(Transform(eye2, v), 0, 0, 0);
  ExpectNear(Transform(at2, v), 0, 0, std::sqrt(20000.0f));
}

TEST(Math, PerspectiveMapsNearAndFarToDepthZeroAndOne) {
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 2, 2.0f, 1.0f, 100.0f);
  ExpectNear(Transform({0, 0, 1}, p), 0, 0, 0);
  ExpectNear(Transform({0, 0, 100}, p), 0, 0, 1);
  // fov 90 degrees: y = z lands on the top edge; x is squeezed by the aspect.
  ExpectNear(Transform({10, 10, 10}, p), 0.5f, 1.0f, Transform({0, 0, 10}, p).z);
}

TEST(Math, InverseUndoesAWorldMatrixAndRefusesSingularOnes) {
  D3DXMATRIX s, rx, ry, rz, t, inv;
  D3DXMatrixScaling(&s, 2, 3, 4);
  D3DXMatrixRotationX(&rx, 0.3f);
  D3DXMatrixRotationY(&ry, -1.1f);
  D3DXMatrixRotationZ(&rz, 2.0f);
  D3DXMatrixTranslation(&t, 5, -6, 7);
  const D3DXMATRIX world = s * rx * ry * rz * t;
  float det = 0;
  ASSERT_NE(D3DXMatrixInverse(&inv, &det, &world), nullptr);
  EXPECT_NEAR(det, 24.0f, 1e-3f);
  const D3DXMATRIX id = world * inv;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(id(i, j), i == j ? 1.0f : 0.0f, 1e-5f);
  D3DXMATRIX flat;
  D3DXMatrixScaling(&flat, 1, 0, 1);
  inv = D3DXMATRIX();
  EXPECT_EQ(D3DXMatrixInverse(&inv, nullptr, &flat), nullptr);
  EXPECT_EQ(inv, D3DXMATRIX());
}

TEST(Math, NormalsIgnoreTranslationAndZeroNormalisesToZero) {
  D3DXMATRIX t;
  D3DXMatrixTranslation(&t, 5, 5, 5);
  D3DXVECTOR3 n(0, 0, 2), out;
  D3DXVec3TransformNormal(&out, &n, &t);
  ExpectNear(out, 0, 0, 2);
  D3DXVec3Normalize(&out, &n);
  ExpectNear(out, 0, 0, 1);
  const D3DXVECTOR3 zero;
  D3DXVec3Normalize(&out, &zero);
  EXPECT_EQ(out, zero);
}

TEST(Math, IntersectTriCases) {
  const D3DXVECTOR3 p0(0, 0, 0), p1(10, 0, 0), p2(0, 10, 0);
  struct Case {
    const char* name;
    D3DXVECTOR3 pos, dir;
    bool hit;
  } cases[] = {
      {"inside from above", {2, 3, 5}, {0, 0, -1}, true},
      {"inside from below (both faces)", {2, 3, -5}, {0, 0, 1}, true},
      {"on an edge", {5, 0, 5}, {0, 0, -1}, true},
      {"on the hypotenuse", {5, 5, 5}, {0, 0, -1}, true},
      {"on a vertex", {0, 0, 5}, {0, 0, -1}, true},
      {"outside", {6, 6, 5}, {0, 0, -1}, false},
      {"behind the ray", {2, 3, 5}, {0, 0, 1}, false},
      {"in the plane", {-1, 1, 0}, {1, 0, 0}, false},
  };
  for (const Case& c : cases) {
    float u = -1, v = -1, d = -1;
    EXPECT_EQ(D3DXIntersectTri(&p0, &p1, &p2, &c.pos, &c.dir, &u, &v, &d) != 0, c.hit) << c.name;
  }
  float u, v, d;
  const D3DXVECTOR3 pos(2, 3, 5), dir(0, 0, -1);
  ASSERT_TRUE(D3DXIntersectTri(&p0, &p1, &p2, &pos, &dir, &u, &v, &d));
  EXPECT_NEAR(u, 0.2f, kTol);
  EXPECT_NEAR(v, 0.3f, kTol);
  EXPECT_NEAR(d, 5.0f, kTol);
  const D3DXVECTOR3 q(5, 5, 0);
  EXPECT_FALSE(D3DXIntersectTri(&p0, &q, &q, &pos, &dir, nullptr, nullptr, nullptr)) << "degenerate";
}
