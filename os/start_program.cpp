// Starting a program: fork, the child's set-up, exec, and the reason for a failure sent back
// through a pipe that the exec closes.

#include "os/start_program.hpp"

#include "os/descriptors.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace os {
namespace {

// What the child says when it cannot run the program; nothing when it can.
struct Report {
  int error;
  bool exec_failed;
};

// Sets up the child, then runs the program; returns only should either fail.
Report set_up_and_run(std::span<char* const> command, const Setup& setup) {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    const int given = setup.standard[static_cast<std::size_t>(fd)];
    if (given == closed) {
      close(fd);
    } else if (given != inherited && dup2(given, fd) < 0) {
      return {errno, false};
    }
  }
  if (setup.ignored) {
    for (int number = 1; number < NSIG; ++number) {
      struct sigaction action {};
      action.sa_handler = sigismember(&*setup.ignored, number) == 1 ? SIG_IGN : SIG_DFL;
      sigaction(number, &action, nullptr); // fails, harmlessly, for SIGKILL and SIGSTOP
    }
  }
  if (setup.blocked && sigprocmask(SIG_SETMASK, &*setup.blocked, nullptr) != 0) {
    return {errno, false};
  }
  if (setup.last && !setup.last()) {
    return {errno, false};
  }
  execvp(command[0], command.data());
  return {errno, true};
}

} // namespace

Started start_program(std::span<char* const> command, const Setup& setup) {
  int report[2];
  if (!make_pipe(report, O_CLOEXEC)) {
    return {.error = errno};
  }
  const pid_t pid = fork();
  if (pid == 0) {
    close(report[0]);
    const Report failed = set_up_and_run(command, setup);
    [[maybe_unused]] const auto written = write(report[1], &failed, sizeof failed);
    _exit(127);
  }
  const int fork_error = errno;
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    return {.error = fork_error};
  }
  Report failed{};
  ssize_t n;
  while ((n = read(report[0], &failed, sizeof failed)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  if (n != sizeof failed) {
    return {.pid = pid};
  }
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  return {.error = failed.error, .exec_failed = failed.exec_failed};
}

std::string ending(const std::string& name, int status) {
  if (WIFSIGNALED(status)) {
    return name + " was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  }
  return name + " exited with status " + std::to_string(WEXITSTATUS(status));
}

} // namespace os
