#pragma once
// Vector and matrix mathematics with D3DX's conventions.
//
// Row vectors multiply from the left (v' = v * M), so transforms compose left
// to right: world = S * Rx * Ry * Rz * T applies S first. Matrices are stored
// row-major (_11 .. _44; the translation is row 4). Views and projections are
// left-handed with depth 0..1. Arithmetic is single precision.
//
// Sections: vectors - matrices - matrix builders - vector transforms - picking
#include "win_types.h"

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

float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float D3DXVec3Length(const D3DXVECTOR3* v);
float D3DXVec3LengthSq(const D3DXVECTOR3* v);
// The zero vector normalises to the zero vector.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);

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
             float a31, float a32, float a33, float a34, float a41, float a42, float a43, float a44);
  float& operator()(int row, int col) { return m[row][col]; }
  float operator()(int row, int col) const { return m[row][col]; }
  D3DXMATRIX operator*(const D3DXMATRIX& o) const;
  D3DXMATRIX& operator*=(const D3DXMATRIX& o) { return *this = *this * o; }
  friend bool operator==(const D3DXMATRIX& a, const D3DXMATRIX& b);
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
// Answers null (and leaves out alone) when the matrix is singular.
// determinant may be null.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);

// ---- matrix builders -------------------------------------------------------
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
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
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// (x, y, z, 0) * M: direction only.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);

// ---- picking ---------------------------------------------------------------
// Ray (pos + t * dir) against triangle p0 p1 p2, both faces. Hit when the
// barycentric u (towards p1) and v (towards p2) satisfy u >= 0, v >= 0,
// u + v <= 1 and the distance t >= 0; edges count as inside. A degenerate
// triangle or a ray in its plane never hits. u, v, dist may be null.
BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                      const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, float* u, float* v,
                      float* dist);

inline constexpr float D3DX_PI = 3.141592654f;
