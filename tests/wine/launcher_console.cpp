// Attaching to another process's console, and looking at it every millisecond.

#include "launcher_console.hpp"

#include "checks.hpp"
#include "console_screen.hpp"
#include "processes.hpp"

#include <windows.h>

bool attach_to_launcher(const std::string& folder) {
  const bool started = await_process(folder, "demo.exe", true, 30'000);
  check(started, "the launcher started the demo beside it");
  const DWORD launcher = find_process(folder, "qav-watch.exe");
  FreeConsole();
  const bool attached = started && launcher != 0 && AttachConsole(launcher);
  check(attached, "attached to the launcher's console");
  SetConsoleCtrlHandler(nullptr, TRUE);
  return attached;
}

std::optional<Clock::time_point> await_text(std::string_view text, Clock::time_point until) {
  while (Clock::now() < until) {
    const Clock::time_point now = Clock::now();
    if (active_screen().text.find(text) != std::string::npos) {
      return now;
    }
    Sleep(1);
  }
  return std::nullopt;
}
