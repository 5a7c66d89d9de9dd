#include "engine/timer.h"

#include "platform/clock.h"

void CKVRTimer::Start(double accumulated) {
  m_startTime = NowSeconds();
  m_pauseTime = 0.0;
  m_accumulated = accumulated;
  m_running = true;
}

void CKVRTimer::Pause() {
  if (!m_running) return;
  m_pauseTime = NowSeconds();
  m_running = false;
}

void CKVRTimer::Resume() {
  if (m_running) return;
  m_startTime = NowSeconds() - (m_pauseTime - m_startTime);
  m_running = true;
}

double CKVRTimer::GetElapsed() const {
  const double end = m_running ? NowSeconds() : m_pauseTime;
  return end - m_startTime + m_accumulated;
}

void CKVRTransition::Start(double duration) {
  m_duration = duration;
  m_timer.Start(0.0);
  m_active = true;
}

double CKVRTransition::GetProgress() const {
  if (!m_active) return 0.0;
  if (m_duration <= 0.0) return 1.0;
  const double progress = m_timer.GetElapsed() / m_duration;
  return progress > 1.0 ? 1.0 : progress;
}

D3DXVECTOR3 LerpVec3(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float t) {
  const D3DXVECTOR3 d = b - a;
  return D3DXVECTOR3(a.x + d.x * t, a.y + d.y * t, a.z + d.z * t);
}
