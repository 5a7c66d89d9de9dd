#pragma once
// The engine back to a fresh state, for benchmark programs that make one.
#include <new>

#include "engine/engine.h"

namespace bench {

// g_Engine as a program starts with it (whatever it held is released).
inline void FreshEngine() {
  g_Engine.Shutdown();
  g_Engine.~CKVREngine();
  g_SuspendCount = 0;
  new (&g_Engine) CKVREngine();
}

}  // namespace bench
