#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace recorder {

// A terminal recording in the asciicast v2 format of what is written to it, timed by a virtual
// clock that runs as a console drawing at a fixed speed: each character moves it on by one
// character's time (a newline counts as one), and each pause by its length. Nothing sleeps.
// Each newline is recorded as CR LF, as a terminal receives it, and what falls within one frame
// (a sixtieth of a second) is one event, timed when its last character is drawn.
class CastRecorder : public std::streambuf {
public:
  CastRecorder(std::ostream& cast, long characters_per_second, std::string_view title);

  void pause(std::chrono::milliseconds duration);

  // Records the end: an empty event at the moment the performance is over.
  void finish();

protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int_type overflow(int_type c) override;

private:
  // The virtual clock: the time at which the last character written is drawn.
  std::int64_t now_ns() const;
  void put(char c);
  void write_event(std::int64_t at_ns, std::string_view text);
  void flush_event();

  std::ostream& cast_;
  long speed_;
  std::int64_t characters_ = 0;
  std::int64_t paused_ns_ = 0;
  std::string pending_; // the current frame's characters, already escaped
  std::int64_t pending_at_ns_ = 0;
  std::int64_t pending_frame_ = -1;
};

} // namespace recorder
