#pragma once
// Time sources of the program.
//
// NowSeconds(): seconds on a monotonic clock, as the multimedia clock's
// milliseconds / 1000 were used; only differences are meaningful and it never
// wraps. WallTime(): calendar seconds, as time(NULL).
// Both can be replaced, so that tests drive time by hand.
#include <ctime>
#include <functional>

double NowSeconds();
std::time_t WallTime();

// Replaces the sources; an empty function restores the real clock.
void SetClockSource(std::function<double()> source);
void SetWallTimeSource(std::function<std::time_t()> source);

// A hand-driven clock for tests: installs itself on construction and puts the
// real clocks back on destruction.
class ManualClock {
 public:
  explicit ManualClock(double startSeconds = 1000.0, std::time_t wallTime = 0);
  ~ManualClock();
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;

  void Advance(double seconds) { m_now += seconds; }
  void Set(double seconds) { m_now = seconds; }
  void SetWallTime(std::time_t t) { m_wall = t; }
  double Now() const { return m_now; }

 private:
  double m_now;
  std::time_t m_wall;
};
