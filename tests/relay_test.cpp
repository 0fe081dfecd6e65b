#include "child_process.hpp"
#include "digest.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The short demo's performance drawn at 150,000 characters a second: exactly its bytes, and at
// least as slowly as a console of that speed draws them. Lower bounds only, so that a loaded
// machine cannot make the test fail; a relay that does not pace ends in about 7.5 s, and one
// that reads ahead delivers Message 2 right after the counter.
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
  EXPECT_GE(elapsed.count(), 7.5 + static_cast<double>(got.bytes.size()) / speed - 5 * one_buffer);
  ASSERT_TRUE(got.arrived[0]);
  const std::chrono::duration<double> message_2_at = *got.arrived[0];
  EXPECT_GE(message_2_at.count(), 3.5 + counter_characters / speed);
}

// A console draws its characters one frame at a time: by any moment t, a reader has had at most
// S·t of them. The relay's schedule keeps to exactly that, and after a wait it may owe at most a
// frame's worth, which is the margin here with one character for rounding; the clock starts
// before the relay does, which only widens it. A relay that hands on more than it is about to
// draw (a whole page read at once, say) runs ahead by thousands.
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
  for (const auto& [at, bytes] : got.totals) {
    const std::chrono::duration<double> t = at;
    const auto allowed = static_cast<std::size_t>(t.count() * speed) + frame_worth + 1;
    ASSERT_LE(bytes, allowed) << "after " << t.count() << " s";
  }
}

// Whether a process is gone, or a zombie that only waits to be reaped (by init, should the relay
// have left it behind), within a few seconds.
bool gone_soon(pid_t pid) {
  const auto give_up = Clock::now() + 3s;
  for (;;) {
    std::ifstream stat{"/proc/" + std::to_string(pid) + "/stat"};
    std::string line;
    if (!std::getline(stat, line) || line.substr(line.rfind(')') + 2, 1) == "Z") {
      return true;
    }
    if (Clock::now() > give_up) {
      return false;
    }
    std::this_thread::sleep_for(20ms);
  }
}

// The short demo, run by a shell that first starts a process of its own in the background, one
// that writes nothing and so would live on unnoticed: the relay's child and its grandchild say
// who they are on standard error, which is the relay's, so that the test can see that both are
// gone when the relay is.
ChildRun relay_of_short_demo(const std::function<void(Child&, Pipe&)>& meanwhile,
                             bool& left_behind) {
  Pipe pipe;
  Child child{RELAY_PROGRAM,
              {"sh", "-c", "echo $$ >&2; sleep 30 & echo $! >&2; exec \"$0\"", DEMO_SHORT_PROGRAM},
              {.stdout_fd = pipe.write}};
  pipe.close_write();
  meanwhile(child, pipe);
  ChildRun result = child.wait();
  std::istringstream pids{result.error_output};
  left_behind = false;
  for (int i = 0; i < 2; ++i) {
    std::string pid;
    std::getline(pids, pid);
    left_behind = left_behind || !gone_soon(std::stoi(pid));
  }
  result.error_output = pids.str().substr(static_cast<std::size_t>(pids.tellg()));
  return result;
}

TEST(Relay, EndsItsChildAndAllItStartedWhenItsOutputFailsOrASignalEndsIt) {
  struct Case {
    const char* what;
    std::function<void(Child&, Pipe&)> meanwhile;
    bool exited;
    int status; // or the signal that ended the relay
    std::string error_output;
  };
  const auto after_some_output = [](Pipe& pipe) {
    char piece[4096];
    ASSERT_GT(read(pipe.read, piece, sizeof piece), 0);
  };
  const auto signal_after_some_output = [&](int number) {
    return [=](Child& child, Pipe& pipe) {
      after_some_output(pipe);
      child.signal(number);
    };
  };
  const Case cases[] = {
      {"its reader gone",
       [&](Child&, Pipe& pipe) {
         after_some_output(pipe);
         pipe.close_read();
       },
       true, 1, "qav-relay: write error: Broken pipe\n"},
      {"SIGTERM", signal_after_some_output(SIGTERM), false, SIGTERM,
       "qav-relay: ended by signal 15 (Terminated); so was sh\n"},
      {"SIGHUP", signal_after_some_output(SIGHUP), false, SIGHUP,
       "qav-relay: ended by signal 1 (Hangup); so was sh\n"},
      {"SIGINT, as Ctrl-C sends it, which is not worth a line", signal_after_some_output(SIGINT),
       false, SIGINT, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool left_behind = true;
    const ChildRun result = relay_of_short_demo(c.meanwhile, left_behind);
    EXPECT_EQ(result.exited, c.exited);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.error_output, c.error_output);
    EXPECT_FALSE(left_behind);
    EXPECT_LT(result.elapsed, 2s);
  }
}

TEST(Relay, PassesOnHowItsChildEnded) {
  TempFile output;
  const ChildRun exited = run(RELAY_PROGRAM, {"--speed", "0", "sh", "-c", "printf abc; exit 7"},
                              {.stdout_fd = output.fd()});
  EXPECT_EQ(exited.status, 7);
  EXPECT_EQ(exited.error_output, "");
  EXPECT_EQ(output.contents(), "abc");

  const ChildRun killed =
      run(RELAY_PROGRAM, {"sh", "-c", "kill -KILL $$"}, {.stdout_fd = output.fd()});
  EXPECT_TRUE(killed.exited);
  EXPECT_EQ(killed.status, 128 + SIGKILL);
  EXPECT_EQ(killed.error_output, "qav-relay: sh was killed by signal 9 (Killed)\n");

  // Standard input and output closed: the relay's own descriptors must not take their places.
  const ChildRun closed_output =
      run(RELAY_PROGRAM, {"printf", "important output"}, {.stdout_fd = -1, .stdin_closed = true});
  EXPECT_EQ(closed_output.status, 1);
  EXPECT_EQ(closed_output.error_output, "qav-relay: write error: Bad file descriptor\n");
  const ChildRun wrote_nothing =
      run(RELAY_PROGRAM, {"sh", "-c", "exit 3"}, {.stdout_fd = -1, .stdin_closed = true});
  EXPECT_EQ(wrote_nothing.status, 3);
  EXPECT_EQ(wrote_nothing.error_output, "");
}

// What the relay inherits stays as it was: SIGCHLD ignored must not cost the child's status,
// and a SIGHUP ignored (after nohup) ends neither the relay nor its child.
TEST(Relay, KeepsTheSignalsItInheritsIgnoredAndStillWaitsForItsChild) {
  TempFile output;
  const ChildRun sigchld_ignored = run(RELAY_PROGRAM, {"sh", "-c", "exit 7"},
                                       {.stdout_fd = output.fd(), .ignored_signals = {SIGCHLD}});
  EXPECT_EQ(sigchld_ignored.status, 7);

  const ChildRun sighup_ignored =
      run(RELAY_PROGRAM, {"--speed", "0", "sh", "-c", "kill -HUP $PPID $$; echo ran on"},
          {.stdout_fd = output.fd(), .ignored_signals = {SIGHUP}});
  EXPECT_TRUE(sighup_ignored.exited);
  EXPECT_EQ(sighup_ignored.status, 0);
  EXPECT_EQ(output.contents(), "ran on\n");
}

TEST(Relay, RefusesABadCommandLineWithOneLineAndRunsNothing) {
  const auto marker =
      std::filesystem::temp_directory_path() / ("relay-test-ran-" + std::to_string(getpid()));
  const std::string touch = "touch";
  const std::vector<std::vector<std::string>> command_lines{
      {"--fast", touch, marker},
      {"--speed", "1.5", touch, marker},
      {"--speed", "-1", touch, marker},
      {"--speed=100000001", touch, marker},
      {"--speed", "twenty", touch, marker},
      {"--speed"},
      {},
      {"/nonexistent/program", marker},
  };
  TempFile output;
  for (const auto& args : command_lines) {
    const ChildRun result = run(RELAY_PROGRAM, args, {.stdout_fd = output.fd()});
    SCOPED_TRACE(result.error_output);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.error_output.starts_with("qav-relay: "));
    EXPECT_EQ(std::ranges::count(result.error_output, '\n'), 1);
  }
  EXPECT_FALSE(std::filesystem::exists(marker));
  EXPECT_EQ(output.contents(), "");
}

} // namespace
