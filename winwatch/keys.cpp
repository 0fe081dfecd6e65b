// A key pressed, read from the console's own input whatever the launcher's standard input is.
// What was typed during the performance is dropped first; Wine passes a terminal's keys on to the
// console only while its input is waited on, hence the short wait before the flush.

#include "winwatch/keys.hpp"

#include "winwatch/interrupt.hpp"

#include <array>
#include <windows.h>

namespace winwatch {
namespace {

constexpr DWORD settle_ms = 100;

// A key that is pressed on its own: Shift, Ctrl and Alt only go with another.
bool is_key_press(const INPUT_RECORD& record) {
  if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) {
    return false;
  }
  const WORD key = record.Event.KeyEvent.wVirtualKeyCode;
  return key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU;
}

} // namespace

bool await_a_key(const std::string& title) {
  const HANDLE input =
      CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) {
    return false;
  }
  WaitForSingleObject(input, settle_ms);
  FlushConsoleInputBuffer(input);
  SetConsoleTitleA(title.c_str()); // only now does a key count
  const std::array<HANDLE, 2> waited{ctrl_c_pressed(), input};
  bool pressed = false;
  for (;;) {
    if (WaitForMultipleObjects(2, waited.data(), FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
      break;
    }
    INPUT_RECORD record{};
    DWORD read = 0;
    if (!ReadConsoleInputA(input, &record, 1, &read)) {
      break;
    }
    if (read == 1 && is_key_press(record)) {
      pressed = true;
      break;
    }
  }
  CloseHandle(input);
  return pressed && !ctrl_c_was_pressed();
}

} // namespace winwatch
