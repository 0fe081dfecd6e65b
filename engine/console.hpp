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
  using Sleep = void (*)(std::chrono::milliseconds);

  Console(std::ostream& out, Sleep sleep) : out_{out}, sleep_{sleep} {}

  bool print(Line line) override {
    errno = 0; // a failed write need not set it, and it may hold an older reason
    return written(out_ << line << std::flush);
  }
  bool counter(int n, std::string_view) override {
    errno = 0;
    return written(out_ << n << std::endl);
  }
  void pause(std::chrono::milliseconds duration) override { sleep_(duration); }

  // Flushes the stream at the end: false if that fails.
  bool finish() {
    errno = 0;
    return written(out_.flush());
  }

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
  Sleep sleep_;
  int error_ = 0;
};

} // namespace engine
