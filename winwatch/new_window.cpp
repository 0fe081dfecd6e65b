// conhost.exe PROGRAM opens a classic console window whatever host Windows uses by default. A
// 32-bit program on 64-bit Windows sees System32 redirected to the 32-bit one, which holds no
// conhost.exe: it reaches the real one through Sysnative. The launcher started there finds a
// marker in its environment, the name of an event it sets once it runs, so that it does not open
// yet another window and the first knows the window opened.

#include "winwatch/new_window.hpp"

#include "winwatch/paths.hpp"

#include <array>
#include <string>
#include <tlhelp32.h>

namespace winwatch {
namespace {

constexpr const char* marker = "QAV_WATCH_OPENED_BY";
constexpr DWORD start_within_ms = 10'000;

std::wstring conhost() {
  BOOL redirected = FALSE;
  IsWow64Process(GetCurrentProcess(), &redirected);
  std::array<wchar_t, MAX_PATH> folder{};
  const UINT size = redirected ? GetSystemWindowsDirectoryW(folder.data(), MAX_PATH)
                               : GetSystemDirectoryW(folder.data(), MAX_PATH);
  return std::wstring{folder.data(), size} +
         (redirected ? L"\\Sysnative\\conhost.exe" : L"\\conhost.exe");
}

// The launcher the console host started: its child. None should it have ended already.
HANDLE child_of(DWORD host) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  HANDLE found = nullptr;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && found == nullptr;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == host) {
      found =
          OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return found;
}

} // namespace

bool owns_console() {
  std::array<DWORD, 2> attached{};
  return GetConsoleProcessList(attached.data(), static_cast<DWORD>(attached.size())) == 1;
}

bool tell_opener() {
  std::array<char, 64> event{};
  const DWORD size = GetEnvironmentVariableA(marker, event.data(), event.size());
  if (size == 0 || size >= event.size()) {
    return false;
  }
  SetEnvironmentVariableA(marker, nullptr); // not the demo's
  if (const HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, event.data())) {
    SetEvent(started);
    CloseHandle(started);
  }
  return true;
}

std::optional<DWORD> play_in_new_window(const Options& options, bool leave_console) {
  const std::string event = "qav-watch-started-" + std::to_string(GetCurrentProcessId());
  const HANDLE started = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
  if (started == nullptr) {
    return std::nullopt;
  }
  const std::wstring host = conhost();
  std::wstring command = quoted(host) + L" " + quoted(own_path()) + L" --speed=" +
                         std::to_wstring(options.speed) + L" " +
                         std::wstring{options.demo.begin(), options.demo.end()};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION window{};
  SetEnvironmentVariableA(marker, event.c_str());
  // The host makes a console of its own; it takes none of this one.
  const BOOL ran = CreateProcessW(host.c_str(), command.data(), nullptr, nullptr, FALSE,
                                  DETACHED_PROCESS, nullptr, nullptr, &startup, &window);
  SetEnvironmentVariableA(marker, nullptr);
  std::optional<DWORD> status;
  if (ran) {
    CloseHandle(window.hThread);
    const std::array<HANDLE, 2> waited{started, window.hProcess};
    const DWORD woke = WaitForMultipleObjects(2, waited.data(), FALSE, start_within_ms);
    if (woke == WAIT_OBJECT_0) {
      const HANDLE launcher = child_of(window.dwProcessId);
      const HANDLE watched = launcher != nullptr ? launcher : window.hProcess;
      if (leave_console) {
        FreeConsole(); // a double-click's window, now empty, closes
      }
      DWORD code = 1;
      WaitForSingleObject(watched, INFINITE);
      GetExitCodeProcess(watched, &code);
      status = code;
      if (launcher != nullptr) {
        CloseHandle(launcher);
      }
    } else if (woke == WAIT_TIMEOUT) {
      TerminateProcess(window.hProcess, 1);
    }
    CloseHandle(window.hProcess);
  }
  CloseHandle(started);
  return status;
}

} // namespace winwatch
