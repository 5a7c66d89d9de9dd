#include "engine/camera.h"

CKVRCamera::CKVRCamera() { UpdateView(); }

void CKVRCamera::UpdateView() {
  const D3DXVECTOR3 at = m_eye + m_direction;
  D3DXMatrixLookAtLH(&m_view, &m_eye, &at, &m_up);
}

void CKVRCamera::SetEye(float x, float y, float z) { SetEyeFrom(D3DXVECTOR3(x, y, z)); }

void CKVRCamera::SetEyeFrom(const D3DXVECTOR3& eye) {
  m_eye = eye;
  UpdateView();
}

void CKVRCamera::LookAt(float x, float y, float z) {
  const D3DXVECTOR3 toPoint = D3DXVECTOR3(x, y, z) - m_eye;
  D3DXVec3Normalize(&m_direction, &toPoint);
  D3DXVec3Cross(&m_right, &m_up, &m_direction);
  D3DXVec3Cross(&m_up, &m_direction, &m_right);
  UpdateView();
}

void CKVRCamera::RotateAboutAxis(const D3DXVECTOR3& axis, float angle) {
  D3DXMATRIX m;
  D3DXMatrixRotationAxis(&m, &axis, angle);
  D3DXVec3TransformCoord(&m_up, &m_up, &m);
  D3DXVec3TransformCoord(&m_right, &m_right, &m);
  D3DXVec3TransformCoord(&m_direction, &m_direction, &m);
  UpdateView();
}
