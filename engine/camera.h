#pragma once
// The viewer: an eye point, a frame of direction, up and right vectors, the
// projection parameters and the left-handed view matrix, rebuilt whenever the
// eye or the frame changes. The engine's frame begin takes the projection
// parameters and the view from the current camera.
#include "platform/d3d9/d3dx_math.h"

class CKVRCamera {
 public:
  CKVRCamera();

  // Moves the eye; the frame stays.
  void SetEye(float x, float y, float z);
  void SetEyeFrom(const D3DXVECTOR3& eye);
  // Turns the camera towards a point. The new right and up vectors are the
  // cross products with the old up vector, not normalised; the point must not
  // lie straight along the up vector from the eye.
  void LookAt(float x, float y, float z);
  // Turns up, right and direction (in that order) about an axis through the
  // eye.
  void RotateAboutAxis(const D3DXVECTOR3& axis, float angle);
  // Rebuilds m_view from the eye and the frame.
  void UpdateView();

  D3DXVECTOR3 m_eye{0, 0, 0};
  D3DXVECTOR3 m_direction{1, 0, 0};
  D3DXVECTOR3 m_up{0, 0, 1};
  D3DXVECTOR3 m_right{0, 1, 0};
  float m_fieldOfView = D3DX_PI / 4;  // radians
  float m_nearPlane = 1.0f;
  float m_farPlane = 1047576.0f;
  D3DXMATRIX m_view;
};
