// The launcher's command line: the demo, the speed, whether to open a window of its own, or help.
#pragma once

#include <string>

namespace winwatch {

struct Options {
  std::string demo = "demo"; // demo or demo_short
  long speed = 0;            // characters a second; 0 passes the output on as it comes
  bool new_window = false;   // play in a classic console window of its own
  bool help = false;
  std::string error; // why the command line cannot be used; empty when it can
};

// Reads `[--speed S] [--new-window] [demo|demo_short]` by the tools' one grammar.
Options parse_options(int argc, char* argv[]);

// The help `--help` writes.
std::string help(const char* name);

} // namespace winwatch
