// The relay's command line: the speed, the program and its arguments, or help.
#pragma once

#include <span>
#include <string>

namespace relay {

struct Options {
  long speed = 0;                 // characters a second; 0 passes the output on as it comes
  std::span<char* const> command; // the program and its arguments, as given
  bool help = false;
  std::string error; // why the command line cannot be used; empty when it can
};

// Reads `[--speed S] PROGRAM [ARG...]` (also `--speed=S`, `--help`, and `--` before a program
// whose name starts with a dash), stopping at the program: what follows it is its own. S is a
// whole number of characters a second, at most engine::fastest_console_speed.
Options parse_options(int argc, char* argv[]);

// The help `--help` writes.
std::string help(const char* name);

} // namespace relay
