#pragma once
// A fresh g_Engine over a recording device for every test, with a hand-driven
// clock and a sleep that only records its calls. The device may refuse no
// call unless the test says so (ExpectRefusedCalls).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/camera.h"
#include "engine/engine.h"
#include "fresh_engine.h"
#include "platform/clock.h"
#include "platform/d3d9/recording/recording_device.h"
#include "refused_calls.h"

class EngineTest : public ::testing::Test, public RefusedCallCheck {
 protected:
  void SetUp() override { testkit::FreshEngine(); }
  void TearDown() override {
    CheckRefusedCalls(m_script);
    testkit::FreshEngine();
  }
  // InitDirect3D and CreateDevice on m_window, camera set.
  void StartEngine(bool vsync = true) {
    ASSERT_TRUE(g_Engine.InitDirect3D().success);
    const InitResult created = g_Engine.CreateDevice(&m_window, vsync);
    ASSERT_TRUE(created.success) << created.message << "\n" << m_script.m_log.Dump();
    g_Engine.SetCamera(&m_camera);
    m_script.m_log.Clear();
  }
  // The programs' end of frame.
  void EndFrame() { g_Engine.EndFrame(); }
  DWORD RenderState(D3DRENDERSTATETYPE state) const {
    DWORD value = 0xDEADBEEF;
    g_Engine.Device()->GetRenderState(state, &value);
    return value;
  }
  const CallLog& Log() const { return m_script.m_log; }

  ManualClock m_clock;
  RecordingScript m_script;
  RecordingWindow m_window{800, 600};
  CKVRCamera m_camera;
  std::vector<int> m_sleeps;
  ScopedRecordingDevice m_recordingFactory{&m_script};
  ScopedEngineSleep m_sleep{[this](int ms) { m_sleeps.push_back(ms); }};
};
