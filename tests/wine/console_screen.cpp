// CONOUT$ is opened afresh each time: it names the buffer active at the moment it is opened,
// which is the launcher's only once it has made its own.

#include "console_screen.hpp"

#include <windows.h>

Screen active_screen() {
  Screen screen;
  const HANDLE output =
      CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (output == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(output, &info)) {
    return screen;
  }
  screen.columns = info.dwSize.X;
  screen.rows = info.dwSize.Y;
  screen.window_columns = info.srWindow.Right - info.srWindow.Left + 1;
  screen.window_rows = info.srWindow.Bottom - info.srWindow.Top + 1;
  screen.cursor_row = static_cast<std::size_t>(info.dwCursorPosition.Y - info.srWindow.Top);
  screen.cursor_column = static_cast<std::size_t>(info.dwCursorPosition.X);
  std::string row(static_cast<std::size_t>(screen.columns), ' ');
  for (SHORT y = info.srWindow.Top; y <= info.srWindow.Bottom; ++y) {
    DWORD read = 0;
    ReadConsoleOutputCharacterA(output, row.data(), static_cast<DWORD>(row.size()), COORD{0, y},
                                &read);
    screen.text += row;
    screen.lines.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
  }
  CloseHandle(output);
  return screen;
}
