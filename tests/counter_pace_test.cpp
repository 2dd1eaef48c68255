#include <gtest/gtest.h>

#include <chrono>

#include "counter_pace.h"

namespace {

using conversion::CounterPace;

CounterPace::Clock::time_point fakeNow{};
int looks = 0;

CounterPace::Clock::time_point FakeClock() {
  ++looks;
  return fakeNow;
}

// Counts the repaints among calls that Due lets draw.
int Draws(CounterPace& pace, int calls) {
  int draws = 0;
  for (int i = 0; i < calls; ++i) draws += pace.Due() ? 1 : 0;
  return draws;
}

TEST(CounterPace, DrawsAtMostOnceAFrameAndLooksAtTheClockEvery256thCall) {
  looks = 0;
  CounterPace pace(&FakeClock);
  EXPECT_EQ(Draws(pace, 255), 0);
  EXPECT_EQ(looks, 0);
  EXPECT_TRUE(pace.Due());  // the first look draws
  EXPECT_EQ(looks, 1);
  // Within the frame: looks, but draws no more.
  fakeNow += std::chrono::milliseconds(15);
  EXPECT_EQ(Draws(pace, 256 * 4), 0);
  EXPECT_EQ(looks, 5);
  fakeNow += std::chrono::milliseconds(1);
  EXPECT_EQ(Draws(pace, 256), 1);
  // A frame a look: every look draws.
  for (int frame = 0; frame < 10; ++frame) {
    fakeNow += CounterPace::kFrame;
    EXPECT_EQ(Draws(pace, 256), 1);
  }
}

}  // namespace
