// The run layer's counter pace: tells a window when to draw the counter, at most once a screen
// frame.

#pragma once

#include <chrono>

namespace conversion {

// Tells a window when to draw the counter during a run: at most once a screen
// frame, whatever the number of lines a second. The core asks for a repaint
// on every line; the window draws only when Due says so.
class CounterPace {
 public:
  using Clock = std::chrono::steady_clock;
  // Calls of Due between two looks at the clock: a look per line costs more
  // than the line's conversion where the clock is slow to read.
  static constexpr unsigned kCallsPerLook = 256;
  static constexpr Clock::duration kFrame = std::chrono::milliseconds(16);

  explicit CounterPace(Clock::time_point (*now)() = &Clock::now) : now_(now) {}

  // Returns true when the counter is to be drawn at this repaint.
  bool Due() {
    if (++calls_ % kCallsPerLook != 0) return false;
    const Clock::time_point now = now_();
    if (drawn_ && now - last_ < kFrame) return false;
    drawn_ = true;
    last_ = now;
    return true;
  }

 private:
  Clock::time_point (*now_)();
  unsigned calls_ = 0;
  bool drawn_ = false;  // the counter was drawn once, at last_
  Clock::time_point last_{};
};

}  // namespace conversion
