#include "relay/relay.hpp"

#include "relay/pacer.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace relay {
namespace {

using namespace std::chrono_literals;

constexpr std::array ending_signals{SIGINT, SIGTERM, SIGHUP};

// How often what is due is drawn: more often than the frames, so that a late wake-up costs no
// characters.
constexpr auto tick = 10ms;

// How long a child that was asked to end may take before it is killed.
constexpr auto grace = 2s;

volatile std::sig_atomic_t ending_signal = 0;
int wake_up = -1; // write end of a pipe that wakes the main loop when a signal arrives

void on_ending_signal(int number) {
  if (ending_signal == 0) {
    ending_signal = number;
  }
  const int saved = errno;
  const char byte = 0;
  [[maybe_unused]] const auto written = write(wake_up, &byte, 1);
  errno = saved;
}

sigset_t ending_signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const int number : ending_signals) {
    sigaddset(&set, number);
  }
  return set;
}

// Handlers without SA_RESTART, so that a signal also ends a write that a stalled terminal
// holds up.
void install_handlers() {
  struct sigaction action {};
  action.sa_handler = on_ending_signal;
  sigemptyset(&action.sa_mask);
  for (const int number : ending_signals) {
    sigaction(number, &action, nullptr);
  }
  std::signal(SIGPIPE, SIG_IGN); // a reader gone away is an error to report, not a death
}

struct Started {
  pid_t pid = -1;
  int error = 0; // errno of the failed start
};

// Starts the command with its standard output on `output`, with every signal at its default and
// none blocked, and ended by SIGTERM should the relay die without ending it.
Started start(std::span<char* const> command, int output) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    return {.error = errno};
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    for (int number = 1; number < NSIG; ++number) {
      sigaction(number, &default_action, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
      _exit(127);
    }
    dup2(output, STDOUT_FILENO);
    execvp(command[0], command.data());
    const int error = errno;
    [[maybe_unused]] const auto written = write(report[1], &error, sizeof error);
    _exit(127);
  }
  const int fork_error = errno;
  close(report[1]);
  Started started{.pid = pid, .error = pid < 0 ? fork_error : 0};
  if (pid > 0) {
    int exec_error = 0;
    ssize_t n;
    while ((n = read(report[0], &exec_error, sizeof exec_error)) < 0 && errno == EINTR) {
    }
    if (n == sizeof exec_error) {
      waitpid(pid, nullptr, 0);
      started = {.error = exec_error};
    }
  }
  close(report[0]);
  return started;
}

void sleep_until(Clock::time_point when) {
  const auto since_epoch = when.time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since_epoch);
  const timespec until{.tv_sec = static_cast<time_t>(seconds.count()),
                       .tv_nsec = static_cast<long>((since_epoch - seconds).count())};
  // steady_clock is CLOCK_MONOTONIC; a signal ends the sleep early, which the loop notices.
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
}

enum class Pumped { finished, output_failed, signalled };

// Writes all the bytes, unless the output fails or a signal ends the relay.
Pumped write_all(const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(STDOUT_FILENO, bytes, size);
    if (ending_signal != 0) {
      return Pumped::signalled;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return Pumped::output_failed;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return Pumped::finished;
}

// Passes the child's output on until it ends, at `speed` characters a second.
Pumped pump(int input, int signalled, long speed, int& output_error) {
  std::array<char, 65536> buffer;
  std::optional<Pacer> pacer;
  if (speed != 0) {
    pacer.emplace(speed, Clock::now());
  }
  auto next_tick = Clock::now();
  const auto allowed = [&] { return pacer ? pacer->due(Clock::now()) : buffer.size(); };

  while (ending_signal == 0) {
    if (allowed() == 0) {
      next_tick = std::max(next_tick + tick, Clock::now());
      sleep_until(next_tick);
      continue;
    }
    std::array<pollfd, 2> waiting{{{input, POLLIN, 0}, {signalled, POLLIN, 0}}};
    if (poll(waiting.data(), waiting.size(), -1) < 0 || ending_signal != 0) {
      continue;
    }
    // Time has passed while waiting: what is due now, and never more than the buffer holds.
    const std::size_t wanted = std::min(allowed(), buffer.size());
    if (wanted == 0) {
      continue;
    }
    const ssize_t n = read(input, buffer.data(), wanted);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return Pumped::finished;
    }
    const auto size = static_cast<std::size_t>(n);
    const Pumped written = write_all(buffer.data(), size);
    if (written != Pumped::finished) {
      output_error = errno;
      return written;
    }
    if (pacer) {
      pacer->drawn(size);
    }
  }
  return Pumped::signalled;
}

// Waits for the child; asks it to end (SIGTERM) once `ask_to_end` is set or a signal ends the
// relay, and kills it should it not end in time. Returns its wait status.
int wait_for(pid_t pid, bool ask_to_end) {
  std::optional<Clock::time_point> kill_at;
  for (;;) {
    if ((ask_to_end || ending_signal != 0) && !kill_at) {
      kill(pid, SIGTERM);
      kill_at = Clock::now() + grace;
    }
    int status = 0;
    const pid_t done = waitpid(pid, &status, kill_at ? WNOHANG : 0);
    if (done == pid) {
      return status;
    }
    if (done < 0 && errno != EINTR) {
      return 0;
    }
    if (kill_at && Clock::now() > *kill_at) {
      kill(pid, SIGKILL);
    }
    if (kill_at) {
      sleep_until(Clock::now() + tick);
    }
  }
}

} // namespace

int relay(const char* name, const Options& options) {
  int wake[2];
  int output[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0 || pipe2(output, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "%s: cannot make a pipe: %s\n", name, std::strerror(errno));
    return 1;
  }
  wake_up = wake[1];
  // The child runs at most one page ahead of what is drawn, as on a console that was slow to
  // draw: each of its pauses begins about when what came before it is on the screen.
  fcntl(output[1], F_SETPIPE_SZ, static_cast<int>(sysconf(_SC_PAGESIZE)));

  // Signals wait until the child is started, so that none reaches a handler of ours in it.
  const sigset_t ending = ending_signal_set();
  sigset_t before;
  sigprocmask(SIG_BLOCK, &ending, &before);
  install_handlers();
  const Started child = start(options.command, output[1]);
  sigprocmask(SIG_SETMASK, &before, nullptr);
  close(output[1]);
  if (child.pid < 0) {
    std::fprintf(stderr, "%s: cannot run '%s': %s\n", name, options.command[0],
                 std::strerror(child.error));
    return 2;
  }

  int output_error = 0;
  const Pumped pumped = pump(output[0], wake[0], options.speed, output_error);
  // With nobody reading, a child still writing ends too.
  close(output[0]);
  const int status = wait_for(child.pid, pumped != Pumped::finished);

  if (ending_signal != 0) {
    if (ending_signal != SIGINT) {
      std::fprintf(stderr, "%s: ended by signal %d (%s); so was %s\n", name, int{ending_signal},
                   strsignal(ending_signal), options.command[0]);
    }
    return 128 + ending_signal;
  }
  if (pumped == Pumped::output_failed) {
    std::fprintf(stderr, "%s: write error: %s\n", name, std::strerror(output_error));
    return 1;
  }
  if (WIFSIGNALED(status)) {
    std::fprintf(stderr, "%s: %s was killed by signal %d (%s)\n", name, options.command[0],
                 WTERMSIG(status), strsignal(WTERMSIG(status)));
    return 128 + WTERMSIG(status);
  }
  return WEXITSTATUS(status);
}

} // namespace relay
