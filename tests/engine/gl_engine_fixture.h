#pragma once
// A fresh g_Engine on the GL device, on an offscreen window, for tests that
// need a display (suites ending _X11). Skips when there is no OpenGL 3.3
// context; puts the engine back to a new, deviceless state afterwards.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "fresh_engine.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host.h"

class GLEngineFixture : public ::testing::Test {
 protected:
  GLEngineFixture(int width, int height) : m_window{width, height} {}

  void SetUp() override {
    testkit::FreshEngine();
    if (!g_Engine.InitDirect3D().success) GTEST_SKIP() << "no OpenGL 3.3 context";
    const InitResult created = g_Engine.CreateDevice(&m_window, false);
    ASSERT_TRUE(created.success) << created.message;
  }
  void TearDown() override { testkit::FreshEngine(); }

  GLOffscreenWindow m_window;
  ScopedDirect3DFactory m_factory{[] { return Direct3DCreate9GL(); }};
  ScopedEngineSleep m_sleep{[](int) {}};
};
