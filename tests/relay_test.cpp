#include "child_process.hpp"
#include "digest.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
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
  constexpr std::string_view message_2 = "Til naeste QAV";

  Pipe pipe;
  Child child{RELAY_PROGRAM, {"--speed", "150000", DEMO_SHORT_PROGRAM}, {.stdout_fd = pipe.write}};
  const auto started = Clock::now();
  pipe.close_write();
  std::string bytes;
  std::optional<Clock::duration> message_2_arrived;
  char piece[65536];
  for (ssize_t n; (n = read(pipe.read, piece, sizeof piece)) > 0;) {
    bytes.append(piece, static_cast<std::size_t>(n));
    const std::size_t looked_from = bytes.size() - static_cast<std::size_t>(n);
    if (!message_2_arrived &&
        bytes.find(message_2, looked_from - std::min(looked_from, message_2.size())) !=
            std::string::npos) {
      message_2_arrived = Clock::now() - started;
    }
  }
  const ChildRun result = child.wait();

  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.error_output, "");
  EXPECT_EQ(bytes.size(), demo_short_output.bytes);
  EXPECT_EQ(fnv1a(bytes), demo_short_output.digest);
  const std::chrono::duration<double> elapsed = result.elapsed;
  EXPECT_GE(elapsed.count(), 7.5 + static_cast<double>(bytes.size()) / speed - 5 * one_buffer);
  ASSERT_TRUE(message_2_arrived);
  const std::chrono::duration<double> message_2_at = *message_2_arrived;
  EXPECT_GE(message_2_at.count(), 3.5 + counter_characters / speed);
}

// The child's standard error is the relay's: it says who it is there, so that the test can see
// that it is gone when the relay is.
ChildRun relay_of_short_demo(const std::function<void(Child&, Pipe&)>& meanwhile,
                             bool& child_left_behind) {
  Pipe pipe;
  Child child{RELAY_PROGRAM,
              {"sh", "-c", "echo $$ >&2; exec \"$0\"", DEMO_SHORT_PROGRAM},
              {.stdout_fd = pipe.write}};
  pipe.close_write();
  meanwhile(child, pipe);
  ChildRun result = child.wait();
  const auto first_line_end = result.error_output.find('\n');
  const pid_t demo = std::stoi(result.error_output.substr(0, first_line_end));
  child_left_behind = kill(demo, 0) == 0;
  result.error_output.erase(0, first_line_end + 1);
  return result;
}

TEST(Relay, EndsItsChildWhenItsOutputFailsOrASignalEndsIt) {
  struct Case {
    const char* what;
    std::function<void(Child&, Pipe&)> meanwhile;
    int status;
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
       1, "qav-relay: write error: Broken pipe\n"},
      {"SIGTERM", signal_after_some_output(SIGTERM), 128 + SIGTERM,
       "qav-relay: ended by signal 15 (Terminated); so was sh\n"},
      {"SIGHUP", signal_after_some_output(SIGHUP), 128 + SIGHUP,
       "qav-relay: ended by signal 1 (Hangup); so was sh\n"},
      {"SIGINT, as Ctrl-C sends it, which is not worth a line", signal_after_some_output(SIGINT),
       128 + SIGINT, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool child_left_behind = true;
    const ChildRun result = relay_of_short_demo(c.meanwhile, child_left_behind);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.error_output, c.error_output);
    EXPECT_FALSE(child_left_behind);
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
