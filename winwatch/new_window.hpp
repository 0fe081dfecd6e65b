// The classic console window: where Windows Terminal, which no program can detect and which
// ignores a console's size, would otherwise show the demo at its own width.
#pragma once

#include "winwatch/options.hpp"

#include <optional>
#include <windows.h>

namespace winwatch {

// Whether the console is the launcher's alone, as a double-click makes it.
bool owns_console();

// Whether this launcher was started in a new window by another; if so, tells that one it started.
bool tell_opener();

// Starts the launcher again, with the options given, in a classic console window (conhost.exe),
// and waits for it; leaves the console it has should that be its own. Returns its status, or
// none when the window did not open (the new launcher never said it started), so that this one
// plays in the console it has.
std::optional<DWORD> play_in_new_window(const Options& options, bool leave_console);

} // namespace winwatch
