// Runs a command with its standard output in a file and prints what it cost: CPU time in user
// and system mode, peak resident memory, and wall time.
//
//   measure OUTPUT COMMAND [ARGUMENT...]
//   prints: user_seconds system_seconds peak_kib wall_seconds exit_status

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: measure OUTPUT COMMAND [ARGUMENT...]\n", stderr);
    return 2;
  }
  const int output = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (output < 0) {
    std::perror(argv[1]);
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    dup2(output, STDOUT_FILENO);
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
  std::printf("%.6f %.6f %ld %.3f %d\n", seconds(usage.ru_utime), seconds(usage.ru_stime),
              usage.ru_maxrss, wall.count(), WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
