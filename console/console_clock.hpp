// The console's clock, shared by the recordings and the captures.
#pragma once

#include <chrono>
#include <cstdint>

// The virtual clock of a console that draws at a fixed speed: each character moves it on by one
// character's time (a newline counts as one), and each pause by its length. Nothing sleeps. The
// recordings and the captures both keep time by it, so they agree to the nanosecond.
class ConsoleClock {
public:
  static constexpr std::int64_t nanoseconds_per_second = 1'000'000'000;

  explicit ConsoleClock(long characters_per_second) : speed_{characters_per_second} {}

  void draw(std::int64_t characters) { characters_ += characters; }
  void pause(std::chrono::milliseconds duration) {
    paused_ns_ += std::chrono::duration_cast<std::chrono::nanoseconds>(duration).count();
  }

  // When the character with this count (the first is 1) is drawn, or the clock's time when no
  // more than that many have been.
  std::int64_t drawn_at_ns(std::int64_t count) const {
    return paused_ns_ + count * nanoseconds_per_second / speed_;
  }

  // The time at which the last character so far is drawn, and any pause after it is over.
  std::int64_t now_ns() const { return drawn_at_ns(characters_); }

  // How many of the characters still to come are drawn by the moment given, if no pause comes
  // first.
  std::int64_t drawable_by(std::int64_t moment_ns) const {
    if (moment_ns < now_ns()) {
      return 0;
    }
    // The quotient, then the rounding of drawn_at_ns made good one step either way.
    std::int64_t count = (moment_ns - paused_ns_) * speed_ / nanoseconds_per_second;
    while (drawn_at_ns(count + 1) <= moment_ns) {
      ++count;
    }
    while (drawn_at_ns(count) > moment_ns) {
      --count;
    }
    return count - characters_;
  }

private:
  long speed_;
  std::int64_t characters_ = 0;
  std::int64_t paused_ns_ = 0;
};
