// The programs' stage: lines and counter numbers written to a stream such as cout, and real
// pauses.
#pragma once

#include "engine/stage.hpp"

#include <cerrno>
#include <ostream>

namespace engine {

// The programs' stage: a stream such as cout, and a sleep. Each line is inserted as one string
// and flushed, so that it is one write and on the screen at once (a terminal would otherwise
// hold a line without a newline); each counter number is an integer insertion and endl.
class Console final : public Stage {
public:
  Console(std::ostream& out, void (*sleep)(std::chrono::milliseconds)) : out_{out}, sleep_{sleep} {}

  bool print(Line line) override { return written(out_ << line << std::flush); }
  bool counter(int n, std::string_view) override { return written(out_ << n << std::endl); }
  void pause(std::chrono::milliseconds duration) override { sleep_(duration); }

  // Flushes the stream at the end: false if that fails.
  bool finish() { return written(out_.flush()); }

  // errno as the failed insertion or flush left it; 0 while nothing has failed.
  int error() const { return error_; }

private:
  // Called straight after the insertion and its flush, so that errno is still the failed call's:
  // once the stream has failed, nothing else runs in between.
  bool written(const std::ostream& out) {
    error_ = out ? 0 : errno;
    return !out.fail();
  }

  std::ostream& out_;
  void (*sleep_)(std::chrono::milliseconds);
  int error_ = 0;
};

} // namespace engine
