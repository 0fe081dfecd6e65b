#pragma once

#include "engine/script.hpp"

#include <chrono>
#include <cstddef>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

// Keeps every byte written to it, up to `capacity`; past that every write fails, as on a full
// disk. It has no buffer of its own, so each insertion arrives as it is made.
class CaptureBuffer : public std::streambuf {
public:
  explicit CaptureBuffer(std::size_t capacity = std::string::npos) : capacity_{capacity} {}

  const std::string& bytes() const { return bytes_; }

protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const std::size_t taken = std::min(static_cast<std::size_t>(n), capacity_ - bytes_.size());
    bytes_.append(s, taken);
    return static_cast<std::streamsize>(taken);
  }
  int_type overflow(int_type c) override {
    if (bytes_.size() == capacity_) {
      return traits_type::eof();
    }
    bytes_.push_back(traits_type::to_char_type(c));
    return c;
  }

private:
  std::string bytes_;
  std::size_t capacity_;
};

// Plays a script with no real sleeping: the output is kept, and each pause is noted with how
// much output had been written when it began.
struct Recording {
  struct PauseAt {
    std::size_t after_bytes;
    std::chrono::milliseconds duration;
    bool operator==(const PauseAt&) const = default;
  };

  std::string output;
  std::vector<PauseAt> pauses;
  bool played = false;

  static Recording of(engine::Script script, std::size_t output_capacity = std::string::npos) {
    CaptureBuffer sink{output_capacity};
    std::ostream out{&sink};
    Recording recording;
    recording.played = engine::play(script, out, [&](std::chrono::milliseconds duration) {
      recording.pauses.push_back({sink.bytes().size(), duration});
    });
    recording.output = sink.bytes();
    return recording;
  }
};
