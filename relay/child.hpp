// The relay's child and everything it starts: started with the signals the relay inherited,
// and ended with all its descendants.
#pragma once

#include <array>
#include <chrono>
#include <csignal>
#include <optional>
#include <span>
#include <sys/types.h>
#include <utility>

namespace relay {

// How long a process asked to end (the child, or what it left behind) may take before it is
// killed.
inline constexpr std::chrono::seconds grace{2};

// Which signals were ignored when the relay started (after nohup, or in a shell's background
// job): they stay ignored, in the relay and in its child, as a shell leaves them.
using Ignored = std::array<bool, NSIG>;
Ignored ignored_at_start();

// Asks a process to end with a signal, and wakes it should it be stopped, as a stopped process
// keeps the signal pending: through its pidfd should it have one (-1 otherwise).
void ask_to_end(pid_t pid, int pidfd, int signal);

// The relay's child once started. It is reached only through its pidfd where the system has
// one, and never once reaped, so that a process id it has freed is never signalled.
class Child {
public:
  Child(pid_t pid, int pidfd) : pid_{pid}, pidfd_{pidfd} {}
  ~Child();
  Child(Child&& other) noexcept
      : pid_{other.pid_}, pidfd_{std::exchange(other.pidfd_, -1)}, status_{other.status_} {}
  Child& operator=(Child&&) = delete;

  // Readable once the child has ended; -1 where the system has no pidfd.
  int descriptor() const { return pidfd_; }
  // Its wait status, once reaped.
  const std::optional<int>& status() const { return status_; }

  // Reaps, without waiting, every process of the relay's that has ended: the child, whose status
  // is kept, and the orphans the relay adopted, so that none lingers as a zombie. Returns 0, or
  // the errno that ended the reaping other than EINTR (ECHILD: the relay has no process left).
  int reap();

  // Sends the child a signal, should it not be reaped yet.
  void signal(int number) const;
  // Asks it to end, should it not be reaped yet (see ask_to_end).
  void ask_to_end(int number) const;

private:
  pid_t pid_;
  int pidfd_;
  std::optional<int> status_;
};

struct Started {
  std::optional<Child> child{};
  int error = 0;            // errno of the failed start
  bool exec_failed = false; // the command could not be run, rather than the relay failing
};

// Starts the command with its standard output on `output`: the signals ignored at the start
// still ignored but SIGCHLD, every other at its default, `mask` blocked (the relay's caller's),
// and ended by SIGTERM should the relay die without ending it.
Started start_child(std::span<char* const> command, int output, const Ignored& ignored,
                    const sigset_t& mask);

// Makes the relay the parent of every process its child leaves behind (a child subreaper), so
// that it can find and end them once the child is gone.
void adopt_descendants();

// Ends, after the child, the processes it left behind, whose parent the relay now is: SIGTERM,
// and SIGKILL for any still there after a grace period; reaps them all.
void end_descendants();

} // namespace relay
