// The console's control events. Ctrl-C and Ctrl-Break set an event and leave the ending to the
// launcher's own thread; closing the window, logging off and shutting down take Windows' default,
// which ends the launcher, and with it the job the demo runs in.

#include "winwatch/interrupt.hpp"

namespace winwatch {
namespace {

HANDLE pressed = nullptr;

BOOL WINAPI on_control(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
    SetEvent(pressed);
    return TRUE;
  }
  return FALSE;
}

} // namespace

bool catch_ctrl_c() {
  pressed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return pressed != nullptr && SetConsoleCtrlHandler(on_control, TRUE) != 0;
}

HANDLE ctrl_c_pressed() {
  return pressed;
}

bool ctrl_c_was_pressed() {
  return WaitForSingleObject(pressed, 0) == WAIT_OBJECT_0;
}

} // namespace winwatch
