// ffmpeg as the capture's encoder: raw frames in on its standard input.
#pragma once

#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

// ffmpeg, started with the arguments given, encoding the raw frames written to its standard
// input. Every failure throws std::runtime_error with its reason.
class Encoder {
public:
  explicit Encoder(const std::vector<std::string>& arguments);
  // An encoder not finished is ended: nothing it made is to be kept.
  ~Encoder();
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  void write(std::span<const unsigned char> bytes);

  // Ends its input and waits for it to finish encoding.
  void finish();

private:
  // Waits for ffmpeg to end; its wait status, or -1 when it cannot be had, with errno set.
  int reap();

  pid_t pid_ = -1;
  int input_ = -1;
};
