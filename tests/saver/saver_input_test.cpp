#include <gtest/gtest.h>

#include "saver/saver_input.h"

#include <cstdint>

namespace {

TEST(GraceCountdown, EnablesInputOnTheFifthTickAndThenStays) {
  int32_t count = 500;
  bool enabled = false;
  for (int tick = 1; tick <= 4; ++tick) {
    CountDownGrace(count, enabled, 100);
    EXPECT_FALSE(enabled) << "tick " << tick;
  }
  CountDownGrace(count, enabled, 100);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(count, 0);
  for (int tick = 0; tick < 3; ++tick) CountDownGrace(count, enabled, 100);
  EXPECT_EQ(count, 0) << "the countdown stays at its final value";
  EXPECT_TRUE(enabled);
}

TEST(GraceCountdown, UnevenStartValuesEndBelowZero) {
  struct Case {
    int32_t start;
    int ticksToEnable;
    int32_t final;
  };
  const Case cases[] = {{250, 3, -50}, {1, 1, -99}, {100, 1, 0}};
  for (const Case& c : cases) {
    int32_t count = c.start;
    bool enabled = false;
    int ticks = 0;
    while (!enabled && ticks < 100) {
      CountDownGrace(count, enabled, 100);
      ++ticks;
    }
    EXPECT_EQ(ticks, c.ticksToEnable) << c.start;
    CountDownGrace(count, enabled, 100);
    EXPECT_EQ(count, c.final) << c.start;
  }
  int32_t count = 0;
  bool enabled = false;
  CountDownGrace(count, enabled, 100);
  EXPECT_FALSE(enabled) << "a countdown that never ran does not enable input";
}

TEST(MouseMove, EndsTheRunOnlyAfterTheGraceAndAtANewPosition) {
  struct Case {
    bool enabled;
    int32_t x, y, lastX, lastY;
    bool ends;
  };
  const Case cases[] = {
      {false, 10, 10, 0, 0, false}, {true, 10, 10, 0, 0, true},  {true, 0, 0, 0, 0, false},
      {true, 5, 0, 5, 1, true},     {true, 5, 1, 4, 1, true},    {true, -3, -3, -3, -3, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MouseMoveEndsRun(c.enabled, c.x, c.y, c.lastX, c.lastY), c.ends)
        << c.enabled << " (" << c.x << "," << c.y << ") after (" << c.lastX << "," << c.lastY << ")";
  }
}

}  // namespace
