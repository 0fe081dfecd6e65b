// Starts ffmpeg on a pipe, hands it the frames, and says how it ended when it did not end well.

#include "capture/encoder.hpp"

#include "capture/interruption.hpp"
#include "os/descriptors.hpp"
#include "os/start_program.hpp"
#include "os/write_all.hpp"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// How long ffmpeg has to end at SIGTERM before it is killed.
constexpr auto grace = 2s;

std::runtime_error system_failure(const std::string& what, int error) {
  return std::runtime_error{what + ": " + std::strerror(error)};
}

} // namespace

Encoder::Encoder(const std::vector<std::string>& arguments) {
  // A file in memory, not a pipe: ffmpeg may say a lot while it is fed, and nobody reads it then.
  said_ = os::above_standard(memfd_create("ffmpeg-said", MFD_CLOEXEC));
  int ends[2];
  if (said_ < 0 || !os::make_pipe(ends, O_CLOEXEC)) {
    const int error = errno;
    if (said_ >= 0) {
      close(said_);
    }
    throw system_failure("cannot make a pipe for ffmpeg", error);
  }
  input_ = ends[1];
  std::vector<char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const os::Started started =
      os::start_program(argv, {.standard = {ends[0], os::inherited, said_}});
  close(ends[0]);
  if (started.pid < 0) {
    close(input_);
    close(said_);
    throw system_failure("cannot run " + arguments.front(), started.error);
  }
  pid_ = started.pid;
}

Encoder::~Encoder() {
  if (input_ >= 0) {
    close(input_);
  }
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    const auto give_up = std::chrono::steady_clock::now() + grace;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > give_up) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        break;
      }
      std::this_thread::sleep_for(10ms);
    }
  }
  close(said_);
}

void Encoder::write(std::span<const unsigned char> bytes) {
  const int error =
      os::write_all(input_, {reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                    [] { return interruption() == 0; });
  stop_if_interrupted();
  if (error == EPIPE) {
    const int status = reap();
    throw failure(status > 0 ? os::ending("ffmpeg", status) : "ffmpeg ended before the last frame");
  }
  if (error != 0) {
    throw system_failure("cannot hand ffmpeg a frame", error);
  }
}

void Encoder::finish() {
  close(input_);
  input_ = -1;
  const int status = reap();
  if (status < 0) {
    throw system_failure("cannot wait for ffmpeg", errno);
  }
  if (status != 0) {
    throw failure(os::ending("ffmpeg", status));
  }
}

int Encoder::reap() {
  int status = 0;
  pid_t reaped = 0;
  while ((reaped = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    stop_if_interrupted();
  }
  if (reaped < 0) {
    return -1;
  }
  pid_ = -1;
  return status;
}

std::runtime_error Encoder::failure(const std::string& reason) const {
  std::string said;
  char buffer[4096];
  for (off_t at = 0;;) {
    const ssize_t n = pread(said_, buffer, sizeof buffer, at);
    if (n <= 0 || said.size() > 64 * 1024) {
      break;
    }
    said.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
  while (!said.empty() && said.back() == '\n') {
    said.pop_back();
  }
  return std::runtime_error{said.empty() ? reason : reason + "; ffmpeg said:\n" + said};
}
