#pragma once
// Vector and matrix mathematics with D3DX's conventions.
//
// Row vectors multiply from the left (v' = v * M), so transforms compose left
// to right: world = S * Rx * Ry * Rz * T applies S first. Matrices are stored
// row-major (_11 .. _44; the translation is row 4). Views and projections are
// left-handed with depth 0..1. Arithmetic is single precision.
//
// The small operations are inline (the same expressions in the same order as
// written here; the build keeps -ffp-contract=off, so inlining never fuses or
// reorders them).
//
// Sections: vectors - matrices - matrix builders - vector transforms - picking
#include <cmath>

#include "platform/win_types.h"

// ---- vectors ---------------------------------------------------------------
struct D3DXVECTOR2 {
  float x = 0, y = 0;
  D3DXVECTOR2() = default;
  constexpr D3DXVECTOR2(float x_, float y_) : x(x_), y(y_) {}
  friend bool operator==(const D3DXVECTOR2&, const D3DXVECTOR2&) = default;
};

struct D3DXVECTOR3 {
  float x = 0, y = 0, z = 0;
  D3DXVECTOR3() = default;
  constexpr D3DXVECTOR3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  D3DXVECTOR3 operator+(const D3DXVECTOR3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  D3DXVECTOR3 operator-(const D3DXVECTOR3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
  D3DXVECTOR3 operator*(float s) const { return {x * s, y * s, z * s}; }
  D3DXVECTOR3 operator/(float s) const { return {x / s, y / s, z / s}; }
  D3DXVECTOR3& operator+=(const D3DXVECTOR3& o) { return *this = *this + o; }
  D3DXVECTOR3& operator-=(const D3DXVECTOR3& o) { return *this = *this - o; }
  D3DXVECTOR3& operator*=(float s) { return *this = *this * s; }
  friend D3DXVECTOR3 operator*(float s, const D3DXVECTOR3& v) { return v * s; }
  friend bool operator==(const D3DXVECTOR3&, const D3DXVECTOR3&) = default;
};

struct D3DXVECTOR4 {
  float x = 0, y = 0, z = 0, w = 0;
  D3DXVECTOR4() = default;
  constexpr D3DXVECTOR4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  friend bool operator==(const D3DXVECTOR4&, const D3DXVECTOR4&) = default;
};

inline float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
  return a->x * b->x + a->y * b->y + a->z * b->z;
}
inline D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
  const D3DXVECTOR3 r(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
  *out = r;
  return out;
}
inline float D3DXVec3LengthSq(const D3DXVECTOR3* v) { return D3DXVec3Dot(v, v); }
inline float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3LengthSq(v)); }
// The zero vector normalises to the zero vector.
inline D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
  const float len = D3DXVec3Length(v);
  *out = len == 0.0f ? D3DXVECTOR3() : *v / len;
  return out;
}

// ---- matrices --------------------------------------------------------------
struct D3DXMATRIX {
  union {
    struct {
      float _11, _12, _13, _14;
      float _21, _22, _23, _24;
      float _31, _32, _33, _34;
      float _41, _42, _43, _44;
    };
    float m[4][4];
  };
  D3DXMATRIX() : m{} {}
  D3DXMATRIX(float a11, float a12, float a13, float a14, float a21, float a22, float a23, float a24,
             float a31, float a32, float a33, float a34, float a41, float a42, float a43, float a44)
      : m{{a11, a12, a13, a14}, {a21, a22, a23, a24}, {a31, a32, a33, a34}, {a41, a42, a43, a44}} {}
  float& operator()(int row, int col) { return m[row][col]; }
  float operator()(int row, int col) const { return m[row][col]; }
  D3DXMATRIX operator*(const D3DXMATRIX& o) const;
  D3DXMATRIX& operator*=(const D3DXMATRIX& o) { return *this = *this * o; }
  friend bool operator==(const D3DXMATRIX& a, const D3DXMATRIX& b);
};

inline D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& o) const {
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + m[i][3] * o.m[3][j];
  return r;
}

inline D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
  *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  return out;
}
inline D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
  *out = *a * *b;
  return out;
}
// Answers null (and leaves out alone) when the matrix is singular.
// determinant may be null.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);

// ---- matrix builders -------------------------------------------------------
inline D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
  D3DXMatrixIdentity(out);
  out->_41 = x;
  out->_42 = y;
  out->_43 = z;
  return out;
}
inline D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
  *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
  return out;
}
// Rotations by an angle in radians, clockwise when looking along the axis
// towards the origin (left-handed).
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
// The axis is normalised first.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
// fovy in radians, aspect = width / height.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf);

// ---- vector transforms -----------------------------------------------------
// (x, y, z, 1) * M, divided by the resulting w.
inline D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  const float x = v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41;
  const float y = v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42;
  const float z = v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43;
  const float w = v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44;
  *out = w == 0.0f ? D3DXVECTOR3() : D3DXVECTOR3(x / w, y / w, z / w);
  return out;
}
// (x, y, z, 0) * M: direction only.
inline D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  const D3DXVECTOR3 r(v->x * m->_11 + v->y * m->_21 + v->z * m->_31,
                      v->x * m->_12 + v->y * m->_22 + v->z * m->_32,
                      v->x * m->_13 + v->y * m->_23 + v->z * m->_33);
  *out = r;
  return out;
}

// ---- picking ---------------------------------------------------------------
// Ray (pos + t * dir) against triangle p0 p1 p2, both faces. Hit when the
// barycentric u (towards p1) and v (towards p2) satisfy u >= 0, v >= 0,
// u + v <= 1 and the distance t >= 0; edges count as inside. A degenerate
// triangle or a ray in its plane never hits. u, v, dist may be null.
inline BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, float* u, float* v,
                             float* dist) {
  const D3DXVECTOR3 e1 = *p1 - *p0, e2 = *p2 - *p0;
  D3DXVECTOR3 p, q;
  D3DXVec3Cross(&p, rayDir, &e2);
  const float det = D3DXVec3Dot(&e1, &p);
  if (det == 0.0f) return 0;
  const float invDet = 1.0f / det;
  const D3DXVECTOR3 t = *rayPos - *p0;
  const float bu = D3DXVec3Dot(&t, &p) * invDet;
  if (bu < 0.0f || bu > 1.0f) return 0;
  D3DXVec3Cross(&q, &t, &e1);
  const float bv = D3DXVec3Dot(rayDir, &q) * invDet;
  if (bv < 0.0f || bu + bv > 1.0f) return 0;
  const float d = D3DXVec3Dot(&e2, &q) * invDet;
  if (d < 0.0f) return 0;
  if (u) *u = bu;
  if (v) *v = bv;
  if (dist) *dist = d;
  return 1;
}

inline constexpr float D3DX_PI = 3.141592654f;
