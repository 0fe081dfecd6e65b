// One performance: the demo started, drawn on the launcher's screen, its last picture held.
#pragma once

#include "winwatch/options.hpp"

#include <windows.h>

namespace winwatch {

struct Outcome {
  enum class How { held, ctrl_c, failed } how; // failed: one line has said why
  DWORD status;                                // the launcher's exit status
};

// Plays the demo the options name on a screen of 80 by 25 of its own, holds the last picture
// until a key is pressed, and gives the user's console back. Returns the demo's status; Ctrl-C's
// when Ctrl-C or Ctrl-Break ended it; 1, after one line, when the demo is missing, cannot start
// or ends by a fault, or a call of the launcher's own fails.
Outcome watch(const Options& options);

} // namespace winwatch
