// The drawing: the relay's pacer, on Windows. The pipe is looked at with PeekNamedPipe, so that
// one thread reads only what is due and also sees Ctrl-C; the waits between are a millisecond
// long, which the launcher's timer resolution of 1 ms keeps short, so that a late wake-up costs
// no characters. The bytes go to the console as they are, never through a C runtime stream.

#include "winwatch/pump.hpp"

#include "pacing/pacer.hpp"
#include "winwatch/interrupt.hpp"

#include <algorithm>
#include <array>
#include <optional>

namespace winwatch {
namespace {

using pacing::Clock;
using pacing::Pacer;

constexpr DWORD tick_ms = 1;

bool write_all(HANDLE console, const char* bytes, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteConsoleA(console, bytes, size, &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

} // namespace

Pumped pump(HANDLE pipe, HANDLE console, long speed) {
  std::array<char, 65536> buffer;
  std::optional<Pacer> pacer;
  if (speed != 0) {
    pacer.emplace(speed, Clock::now());
  }
  for (;;) {
    if (ctrl_c_was_pressed()) {
      return {Pumped::End::interrupted};
    }
    const std::size_t due = pacer ? pacer->due(Clock::now()) : buffer.size();
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) {
      const DWORD error = GetLastError();
      // The demo's end closed, and all it wrote drawn.
      return error == ERROR_BROKEN_PIPE ? Pumped{Pumped::End::finished}
                                        : Pumped{Pumped::End::read_failed, error};
    }
    if (due == 0 || waiting == 0) {
      Sleep(tick_ms);
      continue;
    }
    const auto wanted = static_cast<DWORD>(std::min({due, std::size_t{waiting}, buffer.size()}));
    DWORD read = 0;
    if (!ReadFile(pipe, buffer.data(), wanted, &read, nullptr)) {
      return {Pumped::End::read_failed, GetLastError()};
    }
    if (!write_all(console, buffer.data(), read)) {
      return {Pumped::End::write_failed, GetLastError()};
    }
    if (pacer) {
      pacer->drawn(read);
    }
  }
}

} // namespace winwatch
