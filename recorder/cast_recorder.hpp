// The stage that records a performance as an asciicast v2 recording.
#pragma once

#include "console/console_clock.hpp"
#include "engine/stage.hpp"

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace recorder {

// A terminal recording in the asciicast v2 format of what is played onto it, timed by the
// console's clock at a fixed speed. Nothing sleeps. Each newline is recorded as CR LF, as a
// terminal receives it, and what falls within one frame (a sixtieth of a second) is one event,
// timed when its last character is drawn.
class CastRecorder final : public engine::Stage {
public:
  CastRecorder(std::ostream& cast, long characters_per_second, std::string_view title);

  bool print(engine::Line line) override;
  bool counter(int n, std::string_view digits) override;
  void pause(std::chrono::milliseconds duration) override;

  // Records the end: an empty event at the moment the performance is over.
  void finish();

private:
  void put(std::string_view text);
  void write_event(std::int64_t at_ns, std::string_view text);
  void flush_event();

  std::ostream& cast_;
  ConsoleClock clock_;
  std::string pending_; // the current frame's characters, already escaped
  std::int64_t pending_at_ns_ = 0;
  std::int64_t pending_frame_ = -1;
};

} // namespace recorder
