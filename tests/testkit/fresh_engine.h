#pragma once
// g_Engine back to the state a program starts with, for the tests and the
// benchmarks that drive the one engine: whatever it held is released, and
// the object is made anew (its members at their initial values) with the
// suspend count at 0. Header only, so that a benchmark can include it
// without the testkit library; needs the engine.
#include <new>

#include "engine/engine.h"

namespace testkit {

inline void FreshEngine() {
  g_Engine.Shutdown();
  g_Engine.~CKVREngine();
  g_SuspendCount = 0;
  new (&g_Engine) CKVREngine();
}

}  // namespace testkit
