// The demo's output drawn on the console at a console's speed.
#pragma once

#include <windows.h>

namespace winwatch {

struct Pumped {
  enum class End { finished, interrupted, write_failed, read_failed } end;
  DWORD error = 0; // GetLastError's, when a read or a write failed
};

// Reads the pipe and writes what it holds to the console with WriteConsoleA, at `speed`
// characters a second (0: as it comes), reading no more than is about to be drawn, until the
// demo's end of the pipe is closed, a call fails, or Ctrl-C is pressed.
Pumped pump(HANDLE pipe, HANDLE console, long speed);

} // namespace winwatch
