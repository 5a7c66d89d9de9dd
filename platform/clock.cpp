#include "platform/clock.h"

#include <chrono>

namespace {
std::function<double()> g_clock;
std::function<std::time_t()> g_wall;
}  // namespace

double NowSeconds() {
  if (g_clock) return g_clock();
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::time_t WallTime() {
  if (g_wall) return g_wall();
  return std::time(nullptr);
}

void SetClockSource(std::function<double()> source) { g_clock = std::move(source); }
void SetWallTimeSource(std::function<std::time_t()> source) { g_wall = std::move(source); }

ManualClock::ManualClock(double startSeconds, std::time_t wallTime) : m_now(startSeconds), m_wall(wallTime) {
  SetClockSource([this] { return m_now; });
  SetWallTimeSource([this] { return m_wall; });
}

ManualClock::~ManualClock() {
  SetClockSource({});
  SetWallTimeSource({});
}
