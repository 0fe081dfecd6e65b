// The launcher's tests' shared parts.

#include "watch_harness.hpp"

#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<std::string> watch(std::initializer_list<std::string> args,
                               std::vector<std::string> settings) {
  settings.insert(settings.begin(), {"env", "DEMO_BUILD_DIR=" DEMO_BUILD_DIR});
  settings.insert(settings.end(), {WATCH_PROGRAM});
  settings.insert(settings.end(), args);
  return settings;
}

Scratch::Scratch(bool too_long_for_tmux)
    : path{std::filesystem::temp_directory_path() /
           ("demo-test-watch-" + std::to_string(getpid()) +
            std::string(too_long_for_tmux ? 100 : 0, 'x'))} {
  std::filesystem::create_directory(path);
}

Scratch::~Scratch() {
  std::filesystem::remove_all(path);
}

bool Scratch::empty() const {
  return std::filesystem::is_empty(path);
}

std::string Scratch::setting() const {
  return "TMPDIR=" + path.string();
}

void wait_for_screen(const TmuxSession& session, std::string_view text) {
  const auto give_up = Clock::now() + 60s;
  while (session.screen().find(text) == std::string::npos && Clock::now() < give_up) {
    std::this_thread::sleep_for(20ms);
  }
}

int close_with_a_key(const TmuxSession& session) {
  const auto give_up = Clock::now() + 30s;
  while (session.running() && Clock::now() < give_up) {
    session.send_keys({"Space"});
    std::this_thread::sleep_for(300ms);
  }
  return session.wait(1s);
}
