// The recording stage: what is played, timed by the console's clock, as asciicast v2 events.

#include "recorder/cast_recorder.hpp"

#include <cstdio>

namespace recorder {
namespace {

constexpr std::int64_t frames_per_second = 60;

// JSON string contents: the demos write printable ASCII and newlines, nothing else.
void append_escaped(std::string& out, char c) {
  switch (c) {
  case '"':
    out += "\\\"";
    break;
  case '\\':
    out += "\\\\";
    break;
  case '\n':
    out += "\\r\\n";
    break;
  default:
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
      out += code;
    } else {
      out += c;
    }
  }
}

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    append_escaped(out, c);
  }
  return out;
}

} // namespace

CastRecorder::CastRecorder(std::ostream& cast, long characters_per_second, std::string_view title)
    : cast_{cast}, clock_{characters_per_second} {
  cast_ << R"({"version": 2, "width": 80, "height": 25, "title": ")" << escaped(title) << R"("})"
        << '\n';
}

bool CastRecorder::print(engine::Line line) {
  put(line);
  return static_cast<bool>(cast_);
}

bool CastRecorder::counter(int, std::string_view digits) {
  put(digits);
  put("\n");
  return static_cast<bool>(cast_);
}

void CastRecorder::pause(std::chrono::milliseconds duration) {
  flush_event();
  clock_.pause(duration);
}

void CastRecorder::finish() {
  flush_event();
  write_event(clock_.now_ns(), "");
  cast_.flush();
}

void CastRecorder::put(std::string_view text) {
  for (const char c : text) {
    clock_.draw(1);
    const std::int64_t drawn_at = clock_.now_ns();
    const std::int64_t frame = drawn_at * frames_per_second / ConsoleClock::nanoseconds_per_second;
    if (frame != pending_frame_) {
      flush_event();
      pending_frame_ = frame;
    }
    append_escaped(pending_, c);
    pending_at_ns_ = drawn_at;
  }
}

void CastRecorder::flush_event() {
  if (!pending_.empty()) {
    write_event(pending_at_ns_, pending_);
    pending_.clear();
  }
  pending_frame_ = -1;
}

void CastRecorder::write_event(std::int64_t at_ns, std::string_view text) {
  const std::int64_t microseconds = (at_ns + 500) / 1000;
  char time[32];
  std::snprintf(time, sizeof time, "%lld.%06lld", static_cast<long long>(microseconds / 1'000'000),
                static_cast<long long>(microseconds % 1'000'000));
  cast_ << '[' << time << R"(, "o", ")" << text << "\"]\n";
}

} // namespace recorder
