// The pacer: how many characters a console drawing at a fixed speed has drawn by a moment.
#pragma once

#include <chrono>
#include <cstddef>

namespace pacing {

using Clock = std::chrono::steady_clock;

// The schedule of a console that draws a fixed number of characters a second: how many may go
// to the screen by a given moment. Time in which nothing is drawn (the program pausing, the
// terminal stalled, the relay stopped) is not saved up: at most one frame's worth is ever owed,
// so drawing always resumes at the console's speed, never in a burst.
class Pacer {
public:
  // A sixtieth of a second, rounded up so that a frame's worth is never a character short.
  static constexpr std::chrono::nanoseconds frame{1'000'000'000 / 60 + 1};

  // The speed is at least one character a second.
  Pacer(long characters_per_second, Clock::time_point start);

  // How many characters are due at `now`; never more than one frame's worth, or one character
  // at speeds below one a frame.
  [[nodiscard]] std::size_t due(Clock::time_point now);

  // Notes that `count` of the characters due were drawn.
  void drawn(std::size_t count);

private:
  long speed_;
  std::size_t frame_worth_;            // the most that is due at once: one frame's worth, or 1
  std::chrono::nanoseconds most_owed_; // a frame and a character: what a late tick may owe
  // The time the characters drawn so far have taken: up to this moment, plus remainder_ / speed_
  // of a nanosecond, so that no rounding adds up over a long run.
  Clock::time_point used_until_;
  long long remainder_ = 0;
};

} // namespace pacing
