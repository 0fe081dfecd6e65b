// The console's state as text, one line each, so that what changed is plain to see.

#include "user_console.hpp"

#include "checks.hpp"
#include "console_screen.hpp"

#include <array>
#include <fstream>
#include <sstream>
#include <windows.h>

namespace {

DWORD mode_of(const char* name) {
  const HANDLE handle =
      CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  DWORD mode = 0;
  GetConsoleMode(handle, &mode);
  CloseHandle(handle);
  return mode;
}

std::string state() {
  std::array<char, 1024> title{};
  GetConsoleTitleA(title.data(), title.size());
  const Screen screen = active_screen();
  std::ostringstream text;
  text << "title " << title.data() << "\ninput mode " << mode_of("CONIN$") << "\noutput mode "
       << mode_of("CONOUT$") << "\nbuffer " << screen.columns << " by " << screen.rows
       << "\nwindow " << screen.window_columns << " by " << screen.window_rows << "\ncursor "
       << screen.cursor_row << ", " << screen.cursor_column << '\n';
  for (const std::string& line : screen.lines) {
    text << '|' << line << "|\n";
  }
  return text.str();
}

} // namespace

int note_user_console(const std::string& file) {
  std::ofstream{file, std::ios::binary} << state();
  return 0;
}

int check_user_console(const std::string& file) {
  const std::string now = state();
  std::ostringstream before;
  before << std::ifstream{file, std::ios::binary}.rdbuf();
  const bool same = now == before.str();
  if (!same) {
    std::printf("before:\n%s\nafter:\n%s\n", before.str().c_str(), now.c_str());
  }
  check(same, "the console's title, modes, buffer, window, cursor and text came back");
  return verdict();
}
