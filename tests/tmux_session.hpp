// Programs in real terminals for the tests: each alone in a tmux session of its own, and what it
// shows.
#pragma once

#include "child_process.hpp"

#include <chrono>
#include <string>
#include <vector>

// A program alone in a detached tmux session, 80 columns by 25 rows unless told otherwise, on a
// tmux server of its own, with every row it scrolls off kept in the history and the pane kept after
// it ends. The server's socket and the program's exit status are kept in a temporary folder of the
// session's own, which goes with it; should the test be killed, the server ends itself and removes
// the folder.
struct TerminalSize {
  int columns = 80;
  int rows = 25;
};

class TmuxSession {
public:
  static bool available();

  explicit TmuxSession(const std::string& program) : TmuxSession{std::vector{program}} {}
  // The program and its arguments.
  explicit TmuxSession(const std::vector<std::string>& command, TerminalSize size = {});
  ~TmuxSession();
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;

  // Types keys into the terminal, each as tmux's send-keys names it (x, Enter, C-c).
  void send_keys(const std::vector<std::string>& keys) const;

  // Whether the program is still running.
  bool running() const;

  // The rows on screen now.
  std::string screen() const;

  // The terminal's title now, as the program in it last set it.
  std::string title() const;

  // Waits for the program to end and returns its exit status.
  int wait(std::chrono::seconds timeout) const;

  // Every row from the first in the history to the last on screen, as the terminal shows them,
  // with the empty rows below the last one written left off.
  std::vector<std::string> history() const;

private:
  std::string tmux(std::vector<std::string> args) const;

  std::string folder_;
  std::string socket_;
  std::string exit_status_file_;
};
