// One line a message, so that a window about to close, or a log, keeps the whole of it.

#include "winwatch/say.hpp"

#include <cstdio>
#include <windows.h>

namespace winwatch {

std::string reason(unsigned long error) {
  char* text = nullptr;
  const DWORD size = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string said = size != 0 && text != nullptr ? std::string{text, size} : std::string{};
  LocalFree(text);
  // Windows ends its sentences with a period and CR LF; some span lines.
  for (char& c : said) {
    if (c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  while (!said.empty() && (said.back() == ' ' || said.back() == '.')) {
    said.pop_back();
  }
  if (said.empty()) {
    said = "error " + std::to_string(error);
  }
  return said;
}

void say(std::string_view what) {
  std::fprintf(stderr, "%s: %.*s\n", name, static_cast<int>(what.size()), what.data());
  std::fflush(stderr);
}

void say_failed(std::string_view what, unsigned long error) {
  say(std::string{what} + ": " + reason(error));
}

} // namespace winwatch
