// Programs in detached tmux sessions of their own, and what their panes show.

#include "tmux_session.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace {

// Enough for the short demo's 200,000 counter rows and the rows after them.
constexpr const char* history_rows = "250000";

// A folder of the session's own, where the tests' cleanup finds whatever a killed test left.
std::string make_folder() {
  std::string name = temp_name_template();
  if (mkdtemp(name.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder in " + name + ": " +
                             std::strerror(errno));
  }
  return name;
}

} // namespace

bool TmuxSession::available() {
  const ChildRun result = run("tmux", {"-V"}, {});
  return result.exited && result.status == 0;
}

TmuxSession::TmuxSession(const std::vector<std::string>& command, TerminalSize size)
    : folder_{make_folder()}, socket_{folder_ + "/tmux"}, exit_status_file_{folder_ + "/status"} {
  // The shell notes the program's exit status where the test can read it.
  std::string shell_command;
  for (const std::string& word : command) {
    shell_command += "'" + word + "' ";
  }
  shell_command += "; echo $? > " + exit_status_file_;
  // Should the test be killed before it ends the server, the server ends itself.
  const std::string watchdog = "while kill -0 " + std::to_string(getpid()) +
                               " 2>/dev/null; do sleep 1; done; tmux -S " + socket_ +
                               " kill-server; rm -rf " + folder_;
  // clang-format off
  tmux({"set-option", "-g", "history-limit", history_rows, ";",
        "set-option", "-g", "remain-on-exit", "on", ";",
        "set-option", "-g", "status", "off", ";",
        "new-session", "-d", "-x", std::to_string(size.columns), "-y", std::to_string(size.rows),
        "-s", "demo", shell_command, ";",
        "run-shell", "-b", watchdog});
  // clang-format on
}

TmuxSession::~TmuxSession() {
  run("tmux", {"-S", socket_, "kill-server"}, {});
  std::filesystem::remove_all(folder_);
}

std::string TmuxSession::tmux(std::vector<std::string> args) const {
  args.insert(args.begin(), {"-S", socket_, "-f", "/dev/null"});
  TempFile output;
  const ChildRun result = run("tmux", args, {.stdout_fd = output.fd()});
  if (!result.exited || result.status != 0) {
    throw std::runtime_error("tmux failed: " + result.error_output);
  }
  return output.contents();
}

std::string TmuxSession::screen() const {
  return tmux({"capture-pane", "-p", "-t", "demo"});
}

std::string TmuxSession::title() const {
  std::string title = tmux({"display-message", "-p", "-t", "demo", "#{pane_title}"});
  return title.substr(0, title.find('\n'));
}

void TmuxSession::send_keys(const std::vector<std::string>& keys) const {
  std::vector<std::string> args{"send-keys", "-t", "demo"};
  args.insert(args.end(), keys.begin(), keys.end());
  tmux(args);
}

bool TmuxSession::running() const {
  return tmux({"display-message", "-p", "-t", "demo", "#{pane_dead}"}) != "1\n";
}

int TmuxSession::wait(std::chrono::seconds timeout) const {
  const auto give_up = std::chrono::steady_clock::now() + timeout;
  while (running()) {
    if (std::chrono::steady_clock::now() > give_up) {
      throw std::runtime_error("the program in tmux did not end in time");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds{100});
  }
  std::ifstream status{exit_status_file_};
  int exit_status = -1;
  status >> exit_status;
  return exit_status;
}

std::vector<std::string> TmuxSession::history() const {
  std::istringstream captured{tmux({"capture-pane", "-p", "-t", "demo", "-S", "-", "-E", "-"})};
  std::vector<std::string> rows;
  for (std::string row; std::getline(captured, row);) {
    rows.push_back(row);
  }
  while (!rows.empty() && (rows.back().empty() || rows.back().starts_with("Pane is dead"))) {
    rows.pop_back();
  }
  return rows;
}
