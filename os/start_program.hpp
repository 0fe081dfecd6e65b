// Starting a program as a child process: its standard descriptors and signals set as asked,
// and a failure to run it reported to the caller with its reason, not only as a status 127.
#pragma once

#include <array>
#include <cerrno>
#include <csignal>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <sys/types.h>

namespace os {

// What a standard descriptor of the program is, besides one of the caller's descriptors.
inline constexpr int inherited = -2; // the caller's own
inline constexpr int closed = -1;

struct Setup {
  // The program's standard input, output and error: descriptors of the caller's above standard
  // error (they need not be inherited otherwise), `inherited` or `closed`.
  std::array<int, 3> standard{inherited, inherited, inherited};
  // Should it be given, the signals ignored when the program starts, every other at its default;
  // otherwise those the caller ignores stay ignored.
  std::optional<sigset_t> ignored{};
  // Should it be given, the signals blocked when the program starts; otherwise the caller's.
  std::optional<sigset_t> blocked{};
  // The last of the set-up, in the child just before the program is run, so with only calls
  // that are safe after fork: false, with errno set, should it fail.
  std::function<bool()> last{};
};

struct Started {
  pid_t pid = -1;           // the child, to be waited for; -1 should it not be started
  int error = 0;            // errno of the failure
  bool exec_failed = false; // the program could not be run, rather than the start failing
};

// The status a shell gives a program it could not run, as `timeout` and `env` have it too: 127
// for one not found, 126 for one that is there but cannot be run.
inline int not_run_status(int exec_error) {
  return exec_error == ENOENT ? 127 : 126;
}

// How a program ended, from its wait status, as a line says it: "NAME was killed by signal N
// (DESCRIPTION)" or "NAME exited with status N".
std::string ending(const std::string& name, int status);

// Starts the program `command[0]`, found on PATH when its name has no slash, with the arguments
// that follow it in `command`, which ends with a null pointer. When the program cannot be run,
// or its set-up fails, the child is already reaped.
Started start_program(std::span<char* const> command, const Setup& setup);

} // namespace os
