// The relay's pacing: exactly the bytes, never ahead of the speed; and its command line.

#include "child_process.hpp"
#include "digest.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// How long a paced run may take at most: twice its time at the speed, and half a second more.
// Measured with two and with six busy loops beside it, a correct relay stays within a few per
// cent of its time; one that draws less than half as fast as asked fails.
double slowest_allowed(double seconds) {
  return 2 * seconds + 0.5;
}

// The short demo's performance drawn at 150,000 characters a second: exactly its bytes, at least
// as slowly as a console of that speed draws them and not much more slowly. A relay that does not
// pace ends in about 7.5 s, and one that reads ahead delivers Message 2 right after the counter;
// one that draws a frame's worth only every 100 ms takes a minute.
TEST(Relay, PassesTheShortDemoOnAtTheConsolesSpeed) {
  constexpr double speed = 150'000;
  constexpr double counter_characters = 1'288'890;
  constexpr double one_buffer = 4096 / speed;
  constexpr std::string_view message_2[] = {"Til naeste QAV"};

  Pipe pipe;
  const auto started = Clock::now();
  Child child{RELAY_PROGRAM, {"--speed", "150000", DEMO_SHORT_PROGRAM}, {.stdout_fd = pipe.write}};
  pipe.close_write();
  const TimedRead got = read_timed(pipe.read, started, message_2);
  const ChildRun result = child.wait();

  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.error_output, "");
  EXPECT_EQ(got.bytes.size(), demo_short_output.bytes);
  EXPECT_EQ(fnv1a(got.bytes), demo_short_output.digest);
  const std::chrono::duration<double> elapsed = result.elapsed;
  const double expected = 7.5 + static_cast<double>(got.bytes.size()) / speed;
  EXPECT_GE(elapsed.count(), expected - 5 * one_buffer);
  EXPECT_LE(elapsed.count(), slowest_allowed(expected));
  ASSERT_TRUE(got.arrived[0]);
  const std::chrono::duration<double> message_2_at = *got.arrived[0];
  EXPECT_GE(message_2_at.count(), 3.5 + counter_characters / speed);
  EXPECT_LE(message_2_at.count(), slowest_allowed(3.5 + counter_characters / speed));
}

// A console draws its characters one frame at a time: by any moment t, a reader has had at most
// S·t of them. The relay's schedule keeps to exactly that, and after a wait it may owe at most a
// frame's worth, which is the margin here with one character for rounding; the clock starts
// before the relay does, which only widens it. A relay that hands on more than it is about to
// draw (a whole page read at once, say) runs ahead by thousands; one that falls behind its speed
// ends late.
TEST(Relay, NeverGivesAReaderMoreThanItsSpeedAllows) {
  constexpr long speed = 60'000;
  constexpr std::size_t frame_worth = speed / 60;
  constexpr std::size_t size = 90'000;

  Pipe pipe;
  const auto started = Clock::now();
  Child child{RELAY_PROGRAM,
              {"--speed", std::to_string(speed), "head", "-c", std::to_string(size), "/dev/zero"},
              {.stdout_fd = pipe.write}};
  pipe.close_write();
  const TimedRead got = read_timed(pipe.read, started);
  EXPECT_EQ(child.wait().status, 0);

  EXPECT_EQ(got.bytes.size(), size);
  ASSERT_FALSE(got.totals.empty());
  const std::chrono::duration<double> last = got.totals.back().at;
  EXPECT_LE(last.count(), slowest_allowed(static_cast<double>(size) / speed));
  for (const auto& [at, bytes] : got.totals) {
    const std::chrono::duration<double> t = at;
    const auto allowed = static_cast<std::size_t>(t.count() * speed) + frame_worth + 1;
    ASSERT_LE(bytes, allowed) << "after " << t.count() << " s";
  }
}

} // namespace
