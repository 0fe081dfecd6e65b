// The real programs as processes: their bytes, their pauses, and how they end when output fails.

#include "child_process.hpp"
#include "demo_scripts.hpp"
#include "digest.hpp"
#include "recording.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const std::vector<std::string> some_arguments{"--help", "-x", "*.txt"};

void expect_whole_performance(const std::string& program, const Expected& expected,
                              std::chrono::milliseconds pauses) {
  TempFile output;
  const ChildRun result = run(program, some_arguments, {.stdout_fd = output.fd()});

  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.error_output, "");
  EXPECT_GE(result.elapsed, pauses);
  EXPECT_LT(result.elapsed, pauses + 10s);
  const std::string bytes = output.contents();
  EXPECT_EQ(bytes.size(), expected.bytes);
  EXPECT_EQ(fnv1a(bytes), expected.digest);
}

TEST(MainDemoProgram, WritesItsPerformanceToAFileInAboutEighteenAndAHalfSeconds) {
  expect_whole_performance(DEMO_PROGRAM, demo_output, 18'500ms);
}

TEST(ShortDemoProgram, WritesItsPerformanceToAFileInAboutSevenAndAHalfSeconds) {
  expect_whole_performance(DEMO_SHORT_PROGRAM, demo_short_output, 7'500ms);
}

TEST(ShortDemoProgram, GivesASlowReaderEveryByte) {
  Pipe pipe;
  Child child{DEMO_SHORT_PROGRAM, some_arguments, {.stdout_fd = pipe.write}};
  pipe.close_write();

  std::string bytes;
  char piece[509];
  for (ssize_t n; (n = read(pipe.read, piece, sizeof piece)) > 0;) {
    bytes.append(piece, static_cast<std::size_t>(n));
    std::this_thread::sleep_for(20us);
  }
  const ChildRun result = child.wait();

  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(bytes.size(), demo_short_output.bytes);
  EXPECT_EQ(fnv1a(bytes), demo_short_output.digest);
}

// Written into a pipe, stdio holds output until it is flushed: the counter's endl is what sends
// its last number on before the pause, rather than two seconds later with the first message.
TEST(ShortDemoProgram, SendsTheCounterOnBeforeThePauseThatFollowsIt) {
  constexpr std::string_view counter_end_then_message[] = {"\n199999\n", "Dette er min"};
  Pipe pipe;
  Child child{DEMO_SHORT_PROGRAM, {}, {.stdout_fd = pipe.write}};
  pipe.close_write();
  const TimedRead got =
      read_timed(pipe.read, std::chrono::steady_clock::now(), counter_end_then_message);
  EXPECT_EQ(child.wait().status, 0);

  ASSERT_TRUE(got.arrived[0] && got.arrived[1]);
  EXPECT_GE(*got.arrived[1] - *got.arrived[0], 1500ms);
}

// Every failure ends the performance at once: status 1, one line naming the program and the
// reason, and none of the seven and a half seconds of pauses still to come.
void expect_stopped_by(const ChildRun& result, const std::string& reason) {
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.error_output, "demo_short: write error: " + reason + "\n");
  EXPECT_LT(result.elapsed, 1500ms);
}

TEST(ShortDemoProgram, StopsAtOnceOnAFullDevice) {
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  expect_stopped_by(run(DEMO_SHORT_PROGRAM, {}, {.stdout_fd = full}), "No space left on device");
  close(full);
}

TEST(ShortDemoProgram, StopsAtOnceWithStandardOutputClosed) {
  expect_stopped_by(run(DEMO_SHORT_PROGRAM, {}, {.stdout_fd = -1}), "Bad file descriptor");
}

TEST(ShortDemoProgram, LeavesAnExactPrefixWhenTheDiskFillsUp) {
  TempFile output;
  const ChildRun result =
      run(DEMO_SHORT_PROGRAM, {}, {.stdout_fd = output.fd(), .file_size_limit = 100'003});

  expect_stopped_by(result, "File too large");
  const std::string expected = Recording::of(scripts::demo_short).output.substr(0, 100'003);
  EXPECT_EQ(output.contents(), expected);
}

std::string read_exactly(int fd, std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = read(fd, bytes.data() + done, size - done);
    if (n <= 0) {
      bytes.resize(done);
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return bytes;
}

TEST(ShortDemoProgram, StopsAtOnceWhenItsReaderGoesAwayWithSigpipeIgnored) {
  Pipe pipe;
  Child child{DEMO_SHORT_PROGRAM, {}, {.stdout_fd = pipe.write, .ignored_signals = {SIGPIPE}}};
  pipe.close_write();
  const std::string bytes = read_exactly(pipe.read, 4096);
  pipe.close_read();

  expect_stopped_by(child.wait(), "Broken pipe");
  EXPECT_EQ(bytes, Recording::of(scripts::demo_short).output.substr(0, 4096));
}

TEST(ShortDemoProgram, EndsLikeAnyToolWhenItsReaderGoesAway) {
  Pipe pipe;
  Child child{DEMO_SHORT_PROGRAM, {}, {.stdout_fd = pipe.write}};
  pipe.close_write();
  read_exactly(pipe.read, 4096);
  pipe.close_read();

  const ChildRun result = child.wait();
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(result.status, SIGPIPE);
  EXPECT_EQ(result.error_output, "");
}

} // namespace
