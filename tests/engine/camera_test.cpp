#include <gtest/gtest.h>

#include "engine/camera.h"
#include "engine/timer.h"
#include "platform/clock.h"

namespace {
void ExpectNear(const D3DXVECTOR3& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, 1e-4f);
  EXPECT_NEAR(v.y, y, 1e-4f);
  EXPECT_NEAR(v.z, z, 1e-4f);
}
D3DXVECTOR3 ToView(const CKVRCamera& c, const D3DXVECTOR3& p) {
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &p, &c.m_view);
  return out;
}
}  // namespace

TEST(Camera, NewCameraLooksAlongPlusXWithPlusZUp) {
  CKVRCamera c;
  EXPECT_FLOAT_EQ(c.m_fieldOfView, 0.7853982f);
  EXPECT_EQ(c.m_nearPlane, 1.0f);
  EXPECT_EQ(c.m_farPlane, 1047576.0f);
  ExpectNear(ToView(c, {3, 0, 0}), 0, 0, 3);
  ExpectNear(ToView(c, {0, 0, 1}), 0, 1, 0);
  c.SetEye(0, 0, 100);
  ExpectNear(ToView(c, {7, 0, 100}), 0, 0, 7);  // still along +X
}

TEST(Camera, LookAtKeepsUnnormalisedCrossProducts) {
  CKVRCamera c;
  c.SetEye(0, -100, 100);
  c.LookAt(0, 0, 0);
  ExpectNear(c.m_direction, 0, 0.7071068f, -0.7071068f);
  ExpectNear(c.m_right, -0.7071068f, 0, 0);
  ExpectNear(c.m_up, 0, 0.5f, 0.5f);
  ExpectNear(ToView(c, {0, 0, 0}), 0, 0, 141.42136f);
}

TEST(Camera, RotateAboutAxisTurnsTheFrameNotTheEye) {
  CKVRCamera c;
  c.SetEye(1, 2, 3);
  c.RotateAboutAxis({0, 0, 1}, D3DX_PI / 2);
  ExpectNear(c.m_direction, 0, 1, 0);
  ExpectNear(c.m_right, -1, 0, 0);
  ExpectNear(c.m_up, 0, 0, 1);
  ExpectNear(c.m_eye, 1, 2, 3);
  ExpectNear(ToView(c, {1, 12, 3}), 0, 0, 10);
}

TEST(Timer, PausedTimeDoesNotCount) {
  ManualClock clock(100.0);
  CKVRTimer t;
  t.Start(5.0);
  clock.Advance(3.0);
  EXPECT_DOUBLE_EQ(t.GetElapsed(), 8.0);
  t.Pause();
  clock.Advance(10.0);
  EXPECT_DOUBLE_EQ(t.GetElapsed(), 8.0);
  t.Resume();
  EXPECT_DOUBLE_EQ(t.GetElapsed(), 8.0);
  clock.Advance(2.0);
  EXPECT_DOUBLE_EQ(t.GetElapsed(), 10.0);
  t.Resume();  // already running: no change
  EXPECT_DOUBLE_EQ(t.GetElapsed(), 10.0);
}

TEST(Transition, ProgressRunsFromZeroToOne) {
  ManualClock clock(0.0);
  CKVRTransition idle;
  EXPECT_EQ(idle.GetProgress(), 0.0);
  CKVRTransition t;
  t.Start(2.0);
  EXPECT_EQ(t.GetProgress(), 0.0);
  clock.Advance(1.0);
  EXPECT_DOUBLE_EQ(t.GetProgress(), 0.5);
  clock.Advance(1.0);
  EXPECT_EQ(t.GetProgress(), 1.0);
  clock.Advance(5.0);
  EXPECT_EQ(t.GetProgress(), 1.0);
}

TEST(Transition, ZeroOrNegativeDurationIsOverAtOnce) {
  ManualClock clock(0.0);
  for (double d : {0.0, -1.0}) {
    CKVRTransition t;
    t.Start(d);
    EXPECT_EQ(t.GetProgress(), 1.0) << d;
  }
}

TEST(Lerp, EndsAreExactAndTheMiddleIsHalfway) {
  const D3DXVECTOR3 a(0.1f, -3, 7), b(10.3f, 4, -1e6f);
  EXPECT_EQ(LerpVec3(a, b, 0), a);
  const D3DXVECTOR3 end = LerpVec3(a, b, 1);
  EXPECT_FLOAT_EQ(end.x, b.x);
  EXPECT_FLOAT_EQ(end.y, b.y);
  EXPECT_FLOAT_EQ(end.z, b.z);
  ExpectNear(LerpVec3({0, 0, 0}, {2, 4, 6}, 0.5f), 1, 2, 3);
}
