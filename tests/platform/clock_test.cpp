#include <gtest/gtest.h>

#include "platform/clock.h"

TEST(Clock, RealClockIsMonotonic) {
  const double a = NowSeconds();
  const double b = NowSeconds();
  EXPECT_LE(a, b);
  EXPECT_GT(WallTime(), 1600000000);
}

TEST(Clock, ManualClockDrivesBothSourcesAndRestoresThem) {
  {
    ManualClock clock(50.0, 123);
    EXPECT_EQ(NowSeconds(), 50.0);
    clock.Advance(2.5);
    EXPECT_EQ(NowSeconds(), 52.5);
    EXPECT_EQ(WallTime(), 123);
  }
  EXPECT_GT(WallTime(), 1600000000);
}
