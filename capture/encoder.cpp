// Starts ffmpeg on a pipe, hands it the frames, and says how it ended when it did not end well.

#include "capture/encoder.hpp"

#include "os/descriptors.hpp"
#include "os/start_program.hpp"
#include "os/write_all.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::runtime_error failure(const std::string& what, int error) {
  return std::runtime_error{what + ": " + std::strerror(error)};
}

// How ffmpeg ended, from its wait status; empty if it ended well.
std::string ending(int status) {
  if (status < 0) {
    return std::string{"cannot wait for ffmpeg: "} + std::strerror(errno);
  }
  return status == 0 ? "" : os::ending("ffmpeg", status);
}

} // namespace

Encoder::Encoder(const std::vector<std::string>& arguments) {
  int ends[2];
  if (!os::make_pipe(ends, O_CLOEXEC)) {
    throw failure("cannot make a pipe for ffmpeg", errno);
  }
  input_ = ends[1];
  std::vector<char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const os::Started started =
      os::start_program(argv, {.standard = {ends[0], os::inherited, os::inherited}});
  close(ends[0]);
  if (started.pid < 0) {
    close(input_);
    throw failure("cannot run " + arguments.front(), started.error);
  }
  pid_ = started.pid;
}

Encoder::~Encoder() {
  if (input_ >= 0) {
    close(input_);
  }
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    reap();
  }
}

void Encoder::write(std::span<const unsigned char> bytes) {
  const int error =
      os::write_all(input_, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  if (error == EPIPE) {
    const std::string why = ending(reap());
    throw std::runtime_error{why.empty() ? "ffmpeg ended before the last frame" : why};
  }
  if (error != 0) {
    throw failure("cannot hand ffmpeg a frame", error);
  }
}

void Encoder::finish() {
  close(input_);
  input_ = -1;
  if (const std::string why = ending(reap()); !why.empty()) {
    throw std::runtime_error{why};
  }
}

int Encoder::reap() {
  int status = 0;
  pid_t reaped = 0;
  while ((reaped = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return reaped < 0 ? -1 : status;
}
