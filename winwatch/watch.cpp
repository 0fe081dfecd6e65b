// The performance from start to end. The demo starts before the screen is made, so that a
// missing demo is said on the user's own console; the screen is given back before anything is
// said, and the demo is ended with the launcher in any case, by its job.

#include "winwatch/watch.hpp"

#include "winwatch/demo_process.hpp"
#include "winwatch/interrupt.hpp"
#include "winwatch/keys.hpp"
#include "winwatch/paths.hpp"
#include "winwatch/pump.hpp"
#include "winwatch/say.hpp"
#include "winwatch/screen.hpp"

#include <array>
#include <cstdio>
#include <string>

namespace winwatch {
namespace {

struct Played {
  Outcome outcome;
  std::string said{}; // the line for a failure
};

// A status that is an exception's code (an access violation, say) rather than one a program
// returned.
bool is_fault(DWORD status) {
  return (status & 0xC0000000) == 0xC0000000;
}

std::string hex(DWORD status) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "0x%08lX", static_cast<unsigned long>(status));
  return text.data();
}

Played play(const DemoProcess& demo, const Options& options, const std::string& file) {
  constexpr auto failed = Outcome::How::failed;
  constexpr Outcome by_ctrl_c{Outcome::How::ctrl_c, ended_by_ctrl_c};
  Screen screen;
  if (std::string said = screen.open(options.demo + " - qav-watch"); !said.empty()) {
    return {{failed, 1}, said};
  }
  timeBeginPeriod(1); // Sleep's 15.6 ms tick would make the drawing stutter
  demo.resume();
  const Pumped pumped = pump(demo.output(), screen.output(), options.speed);
  timeEndPeriod(1);
  switch (pumped.end) {
  case Pumped::End::interrupted:
    return {by_ctrl_c};
  case Pumped::End::write_failed:
    return {{failed, 1}, "cannot write to the console: " + reason(pumped.error)};
  case Pumped::End::read_failed:
    return {{failed, 1}, "cannot read what " + file + " writes: " + reason(pumped.error)};
  case Pumped::End::finished:
    break;
  }

  const std::array<HANDLE, 2> waited{demo.process(), ctrl_c_pressed()};
  const DWORD woke = WaitForMultipleObjects(2, waited.data(), FALSE, INFINITE);
  DWORD status = 1;
  if (woke == WAIT_OBJECT_0 + 1) {
    return {by_ctrl_c};
  }
  if (woke != WAIT_OBJECT_0 || !GetExitCodeProcess(demo.process(), &status)) {
    return {{failed, 1}, "cannot wait for " + file + ": " + reason(GetLastError())};
  }
  if (status == ended_by_ctrl_c) { // the demo had the Ctrl-C first
    return {by_ctrl_c};
  }
  if (is_fault(status)) {
    return {{failed, 1}, file + " ended by a fault: exception " + hex(status)};
  }
  if (!await_a_key(options.demo + ": press a key to close - qav-watch") && ctrl_c_was_pressed()) {
    return {by_ctrl_c};
  }
  return {{Outcome::How::held, status}};
}

} // namespace

Outcome watch(const Options& options) {
  if (!catch_ctrl_c()) {
    say_failed("cannot catch Ctrl-C", GetLastError());
    return {Outcome::How::failed, 1};
  }
  const std::string file = options.demo + ".exe";
  DemoProcess demo;
  if (const std::string said =
          demo.start(beside_self(std::wstring{file.begin(), file.end()}), file);
      !said.empty()) {
    say(said);
    return {Outcome::How::failed, 1};
  }
  const Played played = play(demo, options, file);
  if (!played.said.empty()) {
    say(played.said);
  }
  return played.outcome;
}

} // namespace winwatch
