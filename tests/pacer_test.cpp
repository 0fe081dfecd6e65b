// The relay's pacer: exact over long runs, never ahead of time, at most a frame owed.

#include "pacing/pacer.hpp"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using pacing::Clock;
using pacing::Pacer;

namespace {

const Clock::time_point start{};

// Draws everything that is due at each of the moments given, and returns how much was drawn.
std::size_t draw_at(Pacer& pacer, Clock::time_point from, Clock::duration step, int steps) {
  std::size_t total = 0;
  for (int i = 1; i <= steps; ++i) {
    const std::size_t due = pacer.due(from + i * step);
    pacer.drawn(due);
    total += due;
  }
  return total;
}

TEST(Pacer, AllowsExactlyTheSpeedOverALongRunWithoutRoundingAway) {
  Pacer pacer{60'000, start};
  EXPECT_EQ(pacer.due(start), 0U);
  EXPECT_EQ(pacer.due(start + 10ms), 600U);
  EXPECT_EQ(draw_at(pacer, start, 10ms, 1000), 600'000U); // ten seconds at 60,000

  // Seven characters a second, asked for every millisecond: no character lost to rounding.
  Pacer slow{7, start};
  EXPECT_EQ(draw_at(slow, start, 1ms, 3000), 21U);

  // Ticks that come irregularly, but never later than a frame, cost nothing.
  Pacer irregular{150'000, start};
  std::size_t drawn = 0;
  auto now = start;
  for (int i = 0; i < 1000; ++i) {
    now += (i % 2 == 0) ? 3ms : 16ms;
    drawn += irregular.due(now);
    irregular.drawn(irregular.due(now));
  }
  EXPECT_EQ(drawn, 150'000U * 19 / 2);
}

TEST(Pacer, NeverOwesMoreThanOneFrameSoNothingIsDrawnInABurst) {
  Pacer pacer{60'000, start};
  EXPECT_EQ(pacer.due(start + 1s), 1000U); // a frame's worth, not a second's
  pacer.drawn(1000);

  // Drawing at speed, then the program pauses for two seconds: drawing resumes at the speed.
  // (What a capped spell leaves owed is less than one character.)
  EXPECT_NEAR(static_cast<double>(draw_at(pacer, start + 1s, 10ms, 100)), 60e3, 1);
  const auto after_pause = start + 4s;
  EXPECT_EQ(pacer.due(after_pause), 1000U);
  pacer.drawn(1000);
  EXPECT_NEAR(static_cast<double>(draw_at(pacer, after_pause, 10ms, 100)), 60e3, 1);

  // What was due but not drawn (the terminal stalled in a write) is not owed either.
  const auto stalled = after_pause + 1s;
  pacer.drawn(pacer.due(stalled));
  EXPECT_EQ(pacer.due(stalled + 5s), 1000U);
}

TEST(Pacer, GivesNothingAheadOfTime) {
  Pacer pacer{60'000, start};
  pacer.drawn(pacer.due(start + 10ms));
  EXPECT_EQ(pacer.due(start + 10ms), 0U);
  pacer.drawn(600); // drawn before it was due, as the first write after a pause may be
  EXPECT_EQ(pacer.due(start + 20ms), 0U);
  EXPECT_EQ(pacer.due(start + 30ms), 600U);
}

} // namespace
