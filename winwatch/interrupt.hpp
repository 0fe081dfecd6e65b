// Ctrl-C and Ctrl-Break: noted as an event that every wait of the launcher also waits for, so
// that the thread that plays ends the demo and gives the console back before the launcher ends.
#pragma once

#include <windows.h>

namespace winwatch {

// The status Windows gives a program that Ctrl-C ended.
inline constexpr DWORD ended_by_ctrl_c = 0xC000013A; // STATUS_CONTROL_C_EXIT

// Installs the handler; false, with GetLastError set, when it cannot be.
bool catch_ctrl_c();

// Signalled once Ctrl-C or Ctrl-Break has been pressed.
HANDLE ctrl_c_pressed();

// Whether it has been.
bool ctrl_c_was_pressed();

} // namespace winwatch
