// Runs a command with its standard output in a file and prints what it cost: CPU time in user
// and system mode, peak resident memory, and wall time.
//
//   measure OUTPUT COMMAND [ARGUMENT...]
//   prints: user_seconds system_seconds peak_kib wall_seconds exit_status

#include "os/descriptors.hpp"
#include "os/start_program.hpp"

#include <chrono>
#include <cstdio>
#include <cstring>
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
  const int output =
      os::above_standard(open(argv[1], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (output < 0) {
    std::perror(argv[1]);
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  const os::Started child = os::start_program({argv + 2, static_cast<std::size_t>(argc - 1)},
                                              {.standard = {os::inherited, output, os::inherited}});
  if (child.pid < 0) {
    std::fprintf(stderr, "measure: cannot run %s: %s\n", argv[2], std::strerror(child.error));
    return child.exec_failed ? os::not_run_status(child.error) : 2;
  }
  int status = 0;
  rusage usage{};
  wait4(child.pid, &status, 0, &usage);
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
  std::printf("%.6f %.6f %ld %.3f %d\n", seconds(usage.ru_utime), seconds(usage.ru_stime),
              usage.ru_maxrss, wall.count(), WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
