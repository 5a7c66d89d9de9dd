// The view volume against boxes carried by world matrices: never false for
// a box with a point in the clip volume, false for one lying clear outside
// a clip plane, and open to everything without a camera or for a world
// that is not affine.
#include "engine/view_volume.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

struct Camera {
  D3DXMATRIX view, projection, clip;
  Camera() {
    const D3DXVECTOR3 eye(40, -260, 300), at(10, 20, 0), up(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 4.0f / 3.0f, 10, 900);
    clip = view * projection;
  }
};

// The clip coordinates' six distances (x + w, w - x, y + w, w - y, z,
// w - z) of a world point, in double.
void ClipDistances(const D3DXMATRIX& clip, const double p[3], double out[6]) {
  double c[4];
  for (int k = 0; k < 4; ++k)
    c[k] = p[0] * clip.m[0][k] + p[1] * clip.m[1][k] + p[2] * clip.m[2][k] + clip.m[3][k];
  const double d[6] = {c[0] + c[3], c[3] - c[0], c[1] + c[3], c[3] - c[1], c[2], c[3] - c[2]};
  for (int k = 0; k < 6; ++k) out[k] = d[k];
}

// How the eight corners of the box in world lie: the largest distance by
// which all of them are outside one same plane (in clip units over the
// plane normal's length: world units), negative when no plane has them all
// outside.
double SeparatedBy(const Camera& camera, const D3DXMATRIX& world, const ViewBox& box) {
  double worst[6];
  for (double& w : worst) w = HUGE_VAL;
  for (int corner = 0; corner < 8; ++corner) {
    double local[3], p[3];
    for (int c = 0; c < 3; ++c) local[c] = box.centre[c] + ((corner >> c) & 1 ? box.half[c] : -box.half[c]);
    for (int c = 0; c < 3; ++c)
      p[c] = local[0] * world.m[0][c] + local[1] * world.m[1][c] + local[2] * world.m[2][c] + world.m[3][c];
    double d[6];
    ClipDistances(camera.clip, p, d);
    for (int k = 0; k < 6; ++k) worst[k] = std::fmin(worst[k], -d[k]);
  }
  double best = -HUGE_VAL;
  for (int k = 0; k < 6; ++k) {
    // Length of the plane's normal, to turn clip units into world units.
    static constexpr int kAxis[6] = {0, 0, 1, 1, 2, 2};
    static constexpr double kSign[6] = {1, -1, 1, -1, 1, -1}, kW[6] = {1, 1, 1, 1, 0, 1};
    double length = 0;
    for (int r = 0; r < 3; ++r) {
      const double a = kSign[k] * camera.clip.m[r][kAxis[k]] + kW[k] * camera.clip.m[r][3];
      length += a * a;
    }
    best = std::fmax(best, worst[k] / std::sqrt(length));
  }
  return best;
}

ViewBox Box(float cx, float cy, float cz, float hx, float hy, float hz) {
  const D3DXVECTOR3 corners[2] = {{cx - hx, cy - hy, cz - hz}, {cx + hx, cy + hy, cz + hz}};
  return BoxAround(corners, 2);
}

}  // namespace

// Boxes of piece size, turned, scaled (also unevenly) and placed all round
// the view's edges, behind the eye and beyond the far plane: a false answer
// always has the box's corners outside one clip plane, and a box more
// than a tenth of a piece outside one plane is always turned away (the far
// plane's margin, where depth rounds coarsely, is the widest; the sides'
// margin is a hundredth, see ABoxJustOverTheEdgeCounts).
TEST(ViewVolume, FalseExactlyForBoxesClearOutsideOneClipPlane) {
  const Camera camera;
  const CKVRViewVolume volume(camera.view, camera.projection);
  std::mt19937 random(25);
  auto uniform = [&](float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
  };
  int outside = 0, inside = 0;
  for (int i = 0; i < 20000; ++i) {
    const ViewBox box =
        Box(uniform(-3, 3), uniform(-3, 3), uniform(-1, 1), uniform(0, 20), uniform(0, 20), uniform(0, 3));
    D3DXMATRIX scale, turnX, turnZ, move;
    const float s = uniform(0.5f, 2.0f);
    D3DXMatrixScaling(&scale, s, i % 3 == 0 ? uniform(0.5f, 2.0f) : s, s);
    D3DXMatrixRotationX(&turnX, i % 4 == 0 ? uniform(-3, 3) : 0.0f);
    D3DXMatrixRotationZ(&turnZ, uniform(-3.2f, 3.2f));
    D3DXMatrixTranslation(&move, uniform(-600, 600), uniform(-500, 1000), uniform(-200, 400));
    const D3DXMATRIX world = scale * turnX * turnZ * move;
    const double separation = SeparatedBy(camera, world, box);
    const bool touches = volume.MayTouch(world, box);
    if (!touches) {
      EXPECT_GT(separation, 0.0) << i;
    }
    if (separation >= 2.5) {
      EXPECT_FALSE(touches) << i << " " << separation;
    }
    outside += separation >= 2.5;
    inside += separation < 0;
  }
  // Both answers were asked for many times.
  EXPECT_GT(outside, 2000);
  EXPECT_GT(inside, 2000);
}

// Right at an edge: a box that reaches 0.01 over the left edge of the view
// touches it, the same box 0.01 short of it does not.
TEST(ViewVolume, ABoxJustOverTheEdgeCounts) {
  const Camera camera;
  const CKVRViewVolume volume(camera.view, camera.projection);
  // Where the plane x = -w crosses the line y = 20, z = 0, and which way
  // along it the view lies.
  double d0[6], d1[6];
  const double p0[3] = {0, 20, 0}, p1[3] = {1, 20, 0};
  ClipDistances(camera.clip, p0, d0);
  ClipDistances(camera.clip, p1, d1);
  const double slope = d1[0] - d0[0];
  const float edge = float(-d0[0] / slope), in = slope > 0 ? 1.0f : -1.0f;
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  const ViewBox over = Box(edge - in * (5 - 0.01f), 20, 0, 5, 0, 0);
  const ViewBox short_ = Box(edge - in * (5 + 0.01f), 20, 0, 5, 0, 0);
  EXPECT_TRUE(volume.MayTouch(world, over));
  EXPECT_FALSE(volume.MayTouch(world, short_));
}

TEST(ViewVolume, WithoutACameraOrForAProjectiveWorldEverythingMayTouch) {
  const ViewBox box = Box(0, 0, 0, 1, 1, 1);
  D3DXMATRIX far;
  D3DXMatrixTranslation(&far, 1e6f, 0, 0);
  EXPECT_TRUE(CKVRViewVolume().MayTouch(far, box));
  EXPECT_TRUE(CKVRViewVolume::OfDevice(nullptr).LetsEverythingThrough());
  const Camera camera;
  const CKVRViewVolume volume(camera.view, camera.projection);
  EXPECT_FALSE(volume.MayTouch(far, box));
  far._34 = 0.5f;
  EXPECT_TRUE(volume.MayTouch(far, box));
}

// The box round positions holds each of them, and so does a union.
TEST(ViewVolume, BoxesHoldTheirPositions) {
  const D3DXVECTOR3 points[3] = {{0.1f, -3.3f, 7}, {-12.7f, 4.9f, 0.3f}, {5.5f, 0, -1.1f}};
  const ViewBox a = BoxAround(points, 2), b = BoxAround(points + 2, 1);
  const ViewBox both = UniteBoxes(a, b);
  for (const ViewBox* box : {&a, &both})
    for (int i = 0; i < (box == &a ? 2 : 3); ++i)
      for (int c = 0; c < 3; ++c) {
        const float v = (&points[i].x)[c];
        EXPECT_LE(box->centre[c] - box->half[c], v);
        EXPECT_GE(box->centre[c] + box->half[c], v);
        EXPECT_GE(box->radius, D3DXVec3Length(&points[i]));
      }
  const ViewBox none = BoxAround(nullptr, 0);
  EXPECT_EQ(none.radius, 0.0f);
}
