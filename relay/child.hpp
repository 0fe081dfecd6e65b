#pragma once

// The relay's child and everything it starts: started with the signals the relay inherited,
// and ended with all its descendants.

#include <array>
#include <chrono>
#include <csignal>
#include <span>
#include <sys/types.h>

namespace relay {

// How long a process asked to end (the child, or what it left behind) may take before it is
// killed.
inline constexpr std::chrono::seconds grace{2};

// Which signals were ignored when the relay started (after nohup, or in a shell's background
// job): they stay ignored, in the relay and in its child, as a shell leaves them.
using Ignored = std::array<bool, NSIG>;
Ignored ignored_at_start();

// Moves one of the relay's own descriptors above standard input, output and error, where it
// could be mistaken for one of them when the relay was started with them closed. Returns the
// descriptor, or -1 with errno set.
int above_standard(int fd);

struct Started {
  pid_t pid = -1;
  int error = 0; // errno of the failed start
};

// Starts the command with its standard output on `output`: the signals ignored at the start
// still ignored but SIGCHLD, every other at its default, none blocked, and ended by SIGTERM
// should the relay die without ending it.
Started start_child(std::span<char* const> command, int output, const Ignored& ignored);

// Makes the relay the parent of every process its child leaves behind (a child subreaper), so
// that it can find and end them once the child is gone.
void adopt_descendants();

// Ends, after the child, the processes it left behind, whose parent the relay now is: SIGTERM,
// and SIGKILL for any still there after a grace period; reaps them all.
void end_descendants();

} // namespace relay
