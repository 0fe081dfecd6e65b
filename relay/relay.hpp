// The relay: a program's output passed on at a console's speed, and how it ends.
#pragma once

#include "relay/options.hpp"

namespace relay {

// Runs the command as a child whose standard output is a pipe of one page, and passes what it
// writes on to standard output at the speed given, reading no more than is about to be drawn,
// so that the child runs at most that page ahead of the screen, as it did on a slow console.
// Returns the exit status: the child's; 127 when it is not found, 126 when it cannot be run; 1
// when standard output failed or a call of the relay's own did (a pipe, a fork, a poll, a wait).
// (2, a bad command line, is the caller's to return: nothing is run then.) A child killed by a
// signal the relay did not send ends the relay by that signal. SIGINT, SIGTERM or SIGHUP end
// the child and all it started, and then the relay itself by the same signal. Everything but
// the child's own end comes with one line on standard error (none for Ctrl-C).
int relay(const char* name, const Options& options);

} // namespace relay
