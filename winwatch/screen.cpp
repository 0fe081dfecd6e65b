// The console of 80 by 25 that the demos were made for, made on whatever console the launcher
// finds. A buffer of its own leaves the user's text and scrollback alone. The console will not
// make a buffer smaller than its window, so the window is made small enough first, then the
// buffer 80 by 25, then the window the whole buffer.

#include "winwatch/screen.hpp"

#include "winwatch/say.hpp"

#include <algorithm>
#include <vector>

namespace winwatch {
namespace {

constexpr SHORT columns = 80;
constexpr SHORT rows = 25;

HANDLE open_console(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

std::string failed(const char* call) {
  return std::string{"cannot make the console 80 by 25 ("} + call + "): " + reason(GetLastError());
}

bool same_window(const SMALL_RECT& a, const SMALL_RECT& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

} // namespace

std::string Screen::open(const std::string& shown_title) {
  user_ = open_console("CONOUT$");
  if (user_ == INVALID_HANDLE_VALUE) {
    return failed("CONOUT$");
  }
  if (!GetConsoleScreenBufferInfo(user_, &user_info_)) {
    return failed("GetConsoleScreenBufferInfo");
  }
  std::vector<char> saved(32768);
  title_.assign(saved.data(), GetConsoleTitleA(saved.data(), static_cast<DWORD>(saved.size())));
  title_changed_ = true;
  SetConsoleTitleA(shown_title.c_str());

  // Ctrl-C a signal, not a key, whatever the user's mode had it.
  input_ = open_console("CONIN$");
  if (input_ != INVALID_HANDLE_VALUE && GetConsoleMode(input_, &input_mode_)) {
    input_mode_changed_ = SetConsoleMode(input_, input_mode_ | ENABLE_PROCESSED_INPUT) != 0;
  }

  own_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
  if (own_ == INVALID_HANDLE_VALUE) {
    return failed("CreateConsoleScreenBuffer");
  }
  // The text as it comes, wrapped at the right edge: no escape sequences read into it.
  if (!SetConsoleMode(own_, ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT)) {
    return failed("SetConsoleMode");
  }
  if (!SetConsoleActiveScreenBuffer(own_)) {
    return failed("SetConsoleActiveScreenBuffer");
  }
  shown_ = true;

  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(own_, &info)) {
    return failed("GetConsoleScreenBufferInfo");
  }
  const auto shown = [](SHORT first, SHORT last, SHORT most) {
    return static_cast<SHORT>(std::min(last - first, most - 1));
  };
  const SMALL_RECT within{0, 0, shown(info.srWindow.Left, info.srWindow.Right, columns),
                          shown(info.srWindow.Top, info.srWindow.Bottom, rows)};
  if (!SetConsoleWindowInfo(own_, TRUE, &within)) {
    return failed("SetConsoleWindowInfo");
  }
  if (!SetConsoleScreenBufferSize(own_, COORD{columns, rows})) {
    return failed("SetConsoleScreenBufferSize");
  }
  // A window that was smaller now grows to the whole buffer; where the display cannot hold it,
  // the buffer still wraps at 80, and the window shows the rows being drawn.
  const SMALL_RECT whole{0, 0, columns - 1, rows - 1};
  SetConsoleWindowInfo(own_, TRUE, &whole);

  if (!GetConsoleScreenBufferInfo(own_, &info)) {
    return failed("GetConsoleScreenBufferInfo");
  }
  if (info.dwSize.X != columns || info.dwSize.Y != rows) {
    return "the console kept its size of " + std::to_string(info.dwSize.X) + " by " +
           std::to_string(info.dwSize.Y) + " instead of 80 by 25";
  }
  return {};
}

Screen::~Screen() {
  if (shown_) {
    SetConsoleActiveScreenBuffer(user_);
    // Each buffer keeps its own window; should the console have changed the user's, it is put
    // back.
    CONSOLE_SCREEN_BUFFER_INFO now{};
    if (GetConsoleScreenBufferInfo(user_, &now) &&
        !same_window(now.srWindow, user_info_.srWindow)) {
      SetConsoleWindowInfo(user_, TRUE, &user_info_.srWindow);
    }
  }
  if (title_changed_) {
    SetConsoleTitleA(title_.c_str());
  }
  if (input_mode_changed_) {
    SetConsoleMode(input_, input_mode_);
  }
  for (const HANDLE handle : {own_, user_, input_}) {
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
    }
  }
}

} // namespace winwatch
