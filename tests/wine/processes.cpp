// Processes by their program's path: a snapshot, and each one's image name.

#include "processes.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <tlhelp32.h>

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string image_of(DWORD id) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) {
    return {};
  }
  std::array<char, MAX_PATH * 4> path{};
  DWORD size = path.size();
  const BOOL got = QueryFullProcessImageNameA(process, 0, path.data(), &size);
  CloseHandle(process);
  return got ? lower(std::string{path.data(), size}) : std::string{};
}

} // namespace

DWORD find_process(const std::string& folder, const std::string& program) {
  const std::string wanted = lower("\\" + folder + "\\" + program);
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  DWORD found = 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && found == 0;
       more = Process32Next(snapshot, &entry)) {
    if (lower(entry.szExeFile) == lower(program) &&
        image_of(entry.th32ProcessID).ends_with(wanted)) {
      found = entry.th32ProcessID;
    }
  }
  CloseHandle(snapshot);
  return found;
}

bool await_process(const std::string& folder, const std::string& program, bool present,
                   DWORD milliseconds) {
  const ULONGLONG until = GetTickCount64() + milliseconds;
  while ((find_process(folder, program) != 0) != present) {
    if (GetTickCount64() >= until) {
      return false;
    }
    Sleep(10);
  }
  return true;
}
