// The cleanup after the tests, tests/remove_leftovers: what a test that is gone left in TMPDIR
// goes, its tmux server ended; what a test still running owns stays, so that runs at the same
// time under the same TMPDIR do not break each other.

#include "child_process.hpp"
#include "needs.hpp"
#include "tmux_session.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool ends_soon(pid_t pid) {
  const auto give_up = std::chrono::steady_clock::now() + 3s;
  while (kill(pid, 0) == 0 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(20ms);
  }
  return kill(pid, 0) != 0;
}

TEST(RemoveLeftovers, RemovesOnlyWhatTestsThatAreGoneLeft) {
  needs(TmuxSession::available() ? "" : "tmux (Debian package tmux)");
  const fs::path tmp =
      fs::temp_directory_path() / ("demo-test-" + std::to_string(getpid()) + "-leftovers");
  fs::create_directory(tmp);
  Child ended{"true", {}, {}};
  const std::string gone = std::to_string(ended.pid());
  ended.wait();
  const std::string running = std::to_string(getpid());

  const std::vector<std::string> left = {"demo-test-" + gone + "-aB3dE9",
                                         "demo-browser-firefox-" + gone + "-alone"};
  const std::vector<std::string> kept = {"demo-test-" + running + "-xY7zW1",
                                         "demo-test-watch-" + running + "xxxx",
                                         "demo-browser-chromium-" + running};
  for (const auto& names : {left, kept}) {
    for (const std::string& name : names) {
      fs::create_directory(tmp / name);
    }
  }
  // A tmux server that outlived its test.
  const std::string socket = (tmp / left[0] / "tmux").string();
  TempFile server_pid;
  const ChildRun started = run("tmux",
                               {"-S", socket, "-f", "/dev/null", "new-session", "-d", "sleep 600",
                                ";", "display-message", "-p", "#{pid}"},
                               {.stdout_fd = server_pid.fd()});
  ASSERT_EQ(started.status, 0) << started.error_output;
  const pid_t server = std::stoi(server_pid.contents());

  const ChildRun removed = run("env", {"TMPDIR=" + tmp.string(), REMOVE_LEFTOVERS_PROGRAM}, {});
  EXPECT_EQ(removed.status, 0) << removed.error_output;
  for (const std::string& name : left) {
    EXPECT_FALSE(fs::exists(tmp / name)) << name;
  }
  for (const std::string& name : kept) {
    EXPECT_TRUE(fs::exists(tmp / name)) << name;
  }
  EXPECT_TRUE(ends_soon(server)) << "the tmux server of a test that is gone still runs";
  kill(server, SIGTERM);
  fs::remove_all(tmp);
}

} // namespace
