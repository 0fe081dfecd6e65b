// How the relay ends: its child and all that started, when its output fails or a signal ends
// it, by that same signal; the child's own end passed on; the signals it inherits kept.

#include "child_process.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

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

// How many of a process's children are zombies.
int zombies_of(pid_t parent) {
  int zombies = 0;
  for (const auto& entry : std::filesystem::directory_iterator{"/proc"}) {
    std::ifstream stat{entry.path() / "stat"};
    std::string line;
    if (std::getline(stat, line) && line.find(')') != std::string::npos) {
      std::istringstream fields{line.substr(line.rfind(')') + 2)};
      std::string state;
      pid_t ppid = 0;
      fields >> state >> ppid;
      zombies += state == "Z" && ppid == parent;
    }
  }
  return zombies;
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

// The orphans the relay adopts are reaped as they end, not kept as zombies until it ends, where
// enough of them would fill the process table.
TEST(Relay, ReapsTheOrphansItAdoptsAsTheyEnd) {
  Pipe pipe;
  Child child{RELAY_PROGRAM,
              {"--speed", "0", "sh", "-c",
               "i=0; while [ $i -lt 200 ]; do (true &); i=$((i+1)); done; echo made; sleep 2"},
              {.stdout_fd = pipe.write}};
  pipe.close_write();
  char made[5];
  ASSERT_EQ(read(pipe.read, made, sizeof made), 5);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(zombies_of(child.pid()), 0);
  EXPECT_EQ(child.wait().status, 0);
}

// As `timeout` has it: 127 for a program not found, 126 for one that cannot be run, and a death
// by a signal the relay did not send passed on as that same death, with no line of its own.
TEST(Relay, PassesOnHowItsChildEnded) {
  TempFile output;
  const ChildRun exited = run(RELAY_PROGRAM, {"--speed", "0", "sh", "-c", "printf abc; exit 7"},
                              {.stdout_fd = output.fd()});
  EXPECT_EQ(exited.status, 7);
  EXPECT_EQ(exited.error_output, "");
  EXPECT_EQ(output.contents(), "abc");

  const ChildRun crashed =
      run(RELAY_PROGRAM, {"sh", "-c", "ulimit -c 0; kill -SEGV $$"}, {.stdout_fd = output.fd()});
  EXPECT_FALSE(crashed.exited);
  EXPECT_EQ(crashed.status, SIGSEGV);
  EXPECT_EQ(crashed.error_output, "");

  const ChildRun not_found = run(RELAY_PROGRAM, {"/nonexistent/program"}, {});
  EXPECT_EQ(not_found.status, 127);
  EXPECT_EQ(not_found.error_output,
            "qav-relay: cannot run '/nonexistent/program': No such file or directory\n");
  const ChildRun not_runnable = run(RELAY_PROGRAM, {"/dev/null"}, {});
  EXPECT_EQ(not_runnable.status, 126);
  EXPECT_EQ(not_runnable.error_output, "qav-relay: cannot run '/dev/null': Permission denied\n");

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
// a SIGHUP ignored (after nohup) ends neither the relay nor its child, and the signals its
// caller blocked stay blocked in the child.
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

  TempFile mask;
  const ChildRun blocked =
      run(RELAY_PROGRAM, {"--speed", "0", "grep", "SigBlk", "/proc/self/status"},
          {.stdout_fd = mask.fd(), .blocked_signals = {SIGUSR2}});
  EXPECT_EQ(blocked.status, 0);
  EXPECT_EQ(mask.contents(), "SigBlk:\t0000000000000800\n"); // SIGUSR2, signal 12, alone
}

} // namespace
