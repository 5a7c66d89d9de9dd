#include "game/game_host.h"

namespace {
class NullGameHost : public IGameHost {
 public:
  HWND DeviceWindow() override { return nullptr; }
  bool CreateInput() override { return false; }
  bool CreateSound() override { return false; }
  POINT CursorPos() override { return POINT{}; }
  void PostCommand(UINT) override {}
  void MinimizeWindow() override {}
};

NullGameHost g_nullHost;
IGameHost* g_host = &g_nullHost;
}  // namespace

IGameHost& GameHost() { return *g_host; }

void SetGameHost(IGameHost* host) { g_host = host ? host : &g_nullHost; }
