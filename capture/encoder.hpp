// ffmpeg as the capture's encoder: raw frames in on its standard input.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <vector>

// ffmpeg, started with the arguments given, encoding the raw frames written to its standard
// input. What it says on standard error is kept aside, and shown only should it fail: after the
// reason, as part of the exception. Every failure throws std::runtime_error with its reason; a
// signal noted meanwhile (interruption.hpp) throws Interrupted.
class Encoder {
public:
  explicit Encoder(const std::vector<std::string>& arguments);
  // An encoder not finished is ended (SIGTERM, then SIGKILL should it linger) and reaped:
  // nothing it made is to be kept.
  ~Encoder();
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  void write(std::span<const unsigned char> bytes);

  // Ends its input and waits for it to finish encoding.
  void finish();

private:
  // Waits for ffmpeg to end, cut short by a signal noted; its wait status, or -1 with errno set.
  int reap();
  // The reason it failed, with what it said.
  std::runtime_error failure(const std::string& reason) const;

  pid_t pid_ = -1;
  int input_ = -1;
  int said_ = -1; // its standard error
};
