#include "capture/encoder.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::runtime_error failure(const std::string& what, int error) {
  return std::runtime_error{what + ": " + std::strerror(error)};
}

// How ffmpeg ended, from its wait status; empty if it ended well.
std::string ending(int status) {
  if (status < 0) {
    return std::string{"cannot wait for ffmpeg: "} + std::strerror(errno);
  }
  if (WIFSIGNALED(status)) {
    return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  }
  if (WEXITSTATUS(status) != 0) {
    return "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status));
  }
  return "";
}

} // namespace

Encoder::Encoder(const std::vector<std::string>& arguments) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    throw failure("cannot make a pipe for ffmpeg", errno);
  }
  input_ = ends[1];
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const int error = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[0]);
  if (error != 0) {
    pid_ = -1;
    close(input_);
    throw failure("cannot run " + arguments.front(), error);
  }
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
  while (!bytes.empty()) {
    const ssize_t written = ::write(input_, bytes.data(), bytes.size());
    if (written < 0 && errno == EPIPE) {
      const std::string why = ending(reap());
      throw std::runtime_error{why.empty() ? "ffmpeg ended before the last frame" : why};
    }
    if (written < 0 && errno != EINTR) {
      throw failure("cannot hand ffmpeg a frame", errno);
    }
    bytes = bytes.subspan(written < 0 ? 0 : static_cast<std::size_t>(written));
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
