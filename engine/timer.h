#pragma once
// A pausable stopwatch on the program clock (NowSeconds), a timed transition
// whose progress runs from 0 to 1, and point interpolation.
#include "platform/d3d9/d3dx_math.h"

class CKVRTimer {
 public:
  // Starts now with some seconds already counted.
  void Start(double accumulated = 0.0);
  // Paused time does not count. Pause on a paused timer and Resume on a
  // running one do nothing.
  void Pause();
  void Resume();
  // Seconds counted: up to now while running, up to the pause while paused.
  double GetElapsed() const;

  double m_startTime = 0.0;
  double m_pauseTime = 0.0;
  double m_accumulated = 0.0;
  bool m_running = false;
};

class CKVRTransition {
 public:
  void Start(double duration);
  // 0 when not active; elapsed / duration, at most 1. A duration of 0 or
  // less is over at once (1).
  double GetProgress() const;

  bool m_active = false;
  double m_duration = 0.0;
  CKVRTimer m_timer;
};

// a + (b - a) * t per component, single precision.
D3DXVECTOR3 LerpVec3(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float t);
