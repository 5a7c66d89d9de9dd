// The play screen's view on the recording device: the fly-in of a new
// puzzle, panning, turning, height changes and the snap of the space bar.
#include <gtest/gtest.h>

#include "play_fixture.h"

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance = kTolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class PlayCameraTest : public PlayTest {
 protected:
  CKVRCamera& Camera() { return m_game->m_settings.m_viewCamera; }
};

}  // namespace

TEST_F(PlayCameraTest, FlyInFromHighAboveDownToTheDefaultHeight) {
  // 7 columns of a 4:3 picture: the board is 175 x 131 units.
  NewPuzzle(7, 5, 5, false, 1024, 768, false);
  ExpectNear(Camera().m_eye, D3DXVECTOR3(0, -65, 2000));
  m_clock.Advance(2.0);
  Frame();
  EXPECT_GT(Camera().m_eye.z, 300.0f);
  EXPECT_LT(Camera().m_eye.z, 2000.0f);
  EXPECT_TRUE(m_screen.CameraAnimation().m_active);
  m_clock.Advance(2.0);
  Frame();
  ExpectNear(Camera().m_eye, D3DXVECTOR3(0, -65, 300));
  ExpectNear(Camera().m_direction, D3DXVECTOR3(0, -0.0099995f, -0.99995f));
  EXPECT_FALSE(m_screen.CameraAnimation().m_active);
  // Space during the fly-in does nothing until it ends.
  NewPuzzle(7, 5, 5, false, 1024, 768, false);
  Key(DIK_SPACE, true);
  m_clock.Advance(1.0);
  Frame();
  EXPECT_DOUBLE_EQ(m_screen.CameraAnimation().m_duration, 4.0);
}

TEST_F(PlayCameraTest, PanHeightAndTheTableEdge) {
  NewPuzzle(3, 3);
  Camera().SetEye(0, -93, 300);
  Inside().UpdateCameraDrag(10, -20);  // mouse up and right: forward and right
  ExpectNear(Camera().m_eye, D3DXVECTOR3(5, -103, 300));
  Key(DIK_LCONTROL, true);
  Inside().UpdateCameraDrag(0, 30);
  ExpectNear(Camera().m_eye, D3DXVECTOR3(5, -103, 292.5f));
  Inside().UpdateCameraDrag(0, -40);  // 40 counts up: 10 higher
  ExpectNear(Camera().m_eye, D3DXVECTOR3(5, -103, 302.5f));
  Key(DIK_LCONTROL, false);
  // A step across the edge is refused whole; one along it goes through.
  Camera().SetEye(2495, 0, 300);
  Inside().UpdateCameraDrag(20, 0);
  ExpectNear(Camera().m_eye, D3DXVECTOR3(2495, 0, 300));
  Inside().UpdateCameraDrag(10, 0);
  ExpectNear(Camera().m_eye, D3DXVECTOR3(2500, 0, 300));
  Inside().UpdateCameraDrag(0, 20);
  ExpectNear(Camera().m_eye, D3DXVECTOR3(2500, 10, 300));
  // Heights stay within 50..3000.
  Inside().ZoomCamera(-1000.0f);
  EXPECT_EQ(Camera().m_eye.z, 50.0f);
  Inside().ZoomCamera(5000.0f);
  EXPECT_EQ(Camera().m_eye.z, 3000.0f);
}

TEST_F(PlayCameraTest, ShiftTurnsAndTiltsButNeverPastStraightDown) {
  NewPuzzle(3, 3);
  Key(DIK_LSHIFT, true);
  const D3DXVECTOR3 eye = Camera().m_eye;
  Inside().UpdateCameraDrag(40, 0);  // half a radian about the vertical
  EXPECT_NEAR(std::fabs(std::atan2(Camera().m_up.x, -Camera().m_up.y)), 0.5, 1e-3);
  ExpectNear(Camera().m_eye, eye);
  // Tilting further down than straight down is undone for that step.
  const D3DXVECTOR3 up = Camera().m_up;
  Inside().UpdateCameraDrag(0, 160);
  EXPECT_GE(Camera().m_up.z, -1e-4f);
  EXPECT_LE(Camera().m_direction.z, 0.0f);
  Inside().UpdateCameraDrag(0, -40);  // tilt up half a radian: fine
  EXPECT_GT(Camera().m_up.z, up.z + 0.3f);
  // Neither turn nor height while pieces are held.
  Hand().holding = true;
  const D3DXVECTOR3 direction = Camera().m_direction;
  Inside().UpdateCameraDrag(30, 30);
  ExpectNear(Camera().m_direction, direction);
  Hand().holding = false;
}

TEST_F(PlayCameraTest, SnapFacesTheNearestAxisAndChoosesXOnATie) {
  NewPuzzle(3, 3);
  const struct {
    D3DXVECTOR3 direction;
    D3DXVECTOR3 target;
    D3DXVECTOR3 up;
  } cases[] = {
      {{0, -1, -1}, {0, -0.0099995f, -0.99995f}, {0, -0.9999f, 0.0099990f}},
      {{1, 0, -1}, {0.0099995f, 0, -0.99995f}, {0.9999f, 0, 0.0099990f}},
      {{1, -1, -1}, {0.0099995f, 0, -0.99995f}, {0.9999f, 0, 0.0099990f}},   // a tie goes to x
      {{0, 0, -1}, {-0.0099995f, 0, -0.99995f}, {-0.9999f, 0, 0.0099990f}},  // straight down: -x
  };
  for (const auto& c : cases) {
    D3DXVECTOR3 d = c.direction;
    D3DXVec3Normalize(&d, &d);
    Camera().m_direction = d;
    Camera().m_up = D3DXVECTOR3(0, 0, 1);
    Camera().SetEye(10, 20, 300);
    Key(DIK_SPACE, true);
    Frame();
    Key(DIK_SPACE, false);
    m_clock.Advance(0.75);
    Frame();
    ExpectNear(Camera().m_direction, c.target, 2e-5f);
    ExpectNear(Camera().m_up, c.up, 2e-4f);
    ExpectNear(Camera().m_eye, D3DXVECTOR3(10, 20, 300));  // without Ctrl the height stays
  }
  // With Ctrl the snap also returns to the default height.
  Camera().SetEye(10, 20, 900);
  Key(DIK_SPACE, true);
  Key(DIK_RCONTROL, true);
  Frame();
  Key(DIK_SPACE, false);
  m_clock.Advance(0.75);
  Frame();
  ExpectNear(Camera().m_eye, D3DXVECTOR3(10, 20, 300));
}
