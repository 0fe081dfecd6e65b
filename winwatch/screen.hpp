// The launcher's screen: a console screen buffer of its own, exactly 80 columns by 25 rows, shown
// for the performance; afterwards the user's buffer, window, title and input mode as they were.
#pragma once

#include <string>
#include <windows.h>

namespace winwatch {

class Screen {
public:
  Screen() = default;
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  // Gives the user's console back.
  ~Screen();

  // Notes the user's console as it is, then makes and shows the launcher's buffer under the
  // title given. Returns why it could not, as one line; empty when it could.
  std::string open(const std::string& shown_title);

  // The launcher's buffer, for WriteConsoleA.
  HANDLE output() const { return own_; }

private:
  HANDLE user_ = INVALID_HANDLE_VALUE;  // the buffer that was active
  HANDLE own_ = INVALID_HANDLE_VALUE;   // the launcher's
  HANDLE input_ = INVALID_HANDLE_VALUE; // the console's input, whose mode is changed
  CONSOLE_SCREEN_BUFFER_INFO user_info_{};
  DWORD input_mode_ = 0;
  bool input_mode_changed_ = false;
  std::string title_;
  bool title_changed_ = false;
  bool shown_ = false;
};

} // namespace winwatch
