// Runs a program and passes its output on at a console's speed; ends it, and all it started,
// when the relay is ended or its output fails, and passes on how it ended. The orphans it
// adopts are reaped as they end.

#include "relay/relay.hpp"

#include "os/descriptors.hpp"
#include "os/start_program.hpp"
#include "os/write_all.hpp"
#include "pacing/pacer.hpp"
#include "relay/child.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace relay {
namespace {

using namespace std::chrono_literals;
using pacing::Clock;
using pacing::Pacer;

constexpr std::array ending_signals{SIGINT, SIGTERM, SIGHUP};

// How often what is due is drawn: more often than the frames, so that a late wake-up costs no
// characters.
constexpr auto tick = 10ms;

volatile std::sig_atomic_t ending_signal = 0;
volatile std::sig_atomic_t children_ended = 0; // some process of the relay's may wait to be reaped
int wake_up = -1; // write end of a pipe that wakes every wait of the relay when a signal arrives

void wake() {
  const int saved = errno;
  const char byte = 0;
  [[maybe_unused]] const auto written = write(wake_up, &byte, 1);
  errno = saved;
}

void on_ending_signal(int number) {
  if (ending_signal == 0) {
    ending_signal = number;
  }
  wake();
}

void on_child_ended(int) {
  children_ended = 1;
  wake();
}

// The signals the relay needs to see: those that end it, and SIGCHLD.
sigset_t relays_signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const int number : ending_signals) {
    sigaddset(&set, number);
  }
  sigaddset(&set, SIGCHLD);
  return set;
}

// Handlers without SA_RESTART, so that a signal also ends a write that a stalled terminal holds
// up; none for a signal that was ignored at the start, which stays ignored. SIGCHLD is caught
// whatever was inherited, so that the child can be waited for and every orphan reaped.
void install_handlers(const Ignored& ignored) {
  struct sigaction action {};
  action.sa_handler = on_ending_signal;
  sigemptyset(&action.sa_mask);
  for (const int number : ending_signals) {
    if (!ignored[static_cast<std::size_t>(number)]) {
      sigaction(number, &action, nullptr);
    }
  }
  action.sa_handler = on_child_ended;
  action.sa_flags = SA_NOCLDSTOP;
  sigaction(SIGCHLD, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN); // a reader gone away is an error to report, not a death
}

void reap_if_ended(Child& child) {
  if (children_ended != 0) {
    children_ended = 0;
    child.reap();
  }
}

// Ends the relay by the signal that ended it, as the rule for programs that end on a signal has
// it, so that its caller sees the death and not only a status. Returns the shell's status for
// it should the signal not end the process.
int end_by(int number) {
  std::signal(number, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, number);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(number);
  return 128 + number;
}

// Ends the relay by the signal that killed its child, as `timeout` does, so that its caller sees
// the same death; with no core dump of the relay's own, which would only stand for the child's.
int die_as_child_did(int number) {
  prctl(PR_SET_DUMPABLE, 0);
  const rlimit no_core{0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
  return end_by(number);
}

void drain(int fd) {
  char bytes[64];
  while (read(fd, bytes, sizeof bytes) > 0) {
  }
}

int milliseconds_until(Clock::time_point when) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now());
  return static_cast<int>(std::max(left.count(), 0L));
}

std::size_t bytes_waiting(int fd) {
  int count = 0;
  // Should the count not be had, there may be bytes: the next read tells.
  return ioctl(fd, FIONREAD, &count) == 0 ? static_cast<std::size_t>(count) : 1;
}

struct Pumped {
  enum class End { finished, output_failed, signalled, poll_failed } end;
  int error = 0; // errno, when the output or a poll failed
};

// Writes all the bytes, unless the output fails or a signal ends the relay; reaps what has
// ended meanwhile.
Pumped pass_on(std::string_view bytes, Child& child) {
  reap_if_ended(child);
  const int error = os::write_all(STDOUT_FILENO, bytes, [&child] {
    reap_if_ended(child);
    return ending_signal == 0;
  });
  if (ending_signal != 0) {
    return {Pumped::End::signalled};
  }
  if (error != 0) {
    return {Pumped::End::output_failed, error};
  }
  return {Pumped::End::finished};
}

// Passes the child's output on until its end, at `speed` characters a second.
Pumped pump(int input, int wake, long speed, Child& child) {
  std::array<char, 65536> buffer;
  std::optional<Pacer> pacer;
  if (speed != 0) {
    pacer.emplace(speed, Clock::now());
  }
  auto next_tick = Clock::now();
  bool hung_up = false; // the writers are gone; what is left in the pipe is all there is

  for (;;) {
    if (ending_signal != 0) {
      return {Pumped::End::signalled};
    }
    reap_if_ended(child);
    const std::size_t due = pacer ? pacer->due(Clock::now()) : buffer.size();
    if (due == 0 && hung_up && bytes_waiting(input) == 0) {
      return {Pumped::End::finished};
    }
    // With characters due, wait for some to read. Without, wait for the next tick, and wake
    // early only for a signal or the end of the input, so that the end is not a character late.
    std::array<pollfd, 2> waiting{{{input, POLLIN, 0}, {wake, POLLIN, 0}}};
    int timeout = -1;
    if (due == 0) {
      waiting[0] = {hung_up ? -1 : input, 0, 0};
      next_tick = std::max(next_tick + tick, Clock::now());
      timeout = milliseconds_until(next_tick);
    }
    if (poll(waiting.data(), waiting.size(), timeout) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return {Pumped::End::poll_failed, errno};
    }
    if (waiting[1].revents != 0) {
      drain(wake);
      continue;
    }
    if (waiting[0].revents == 0) {
      continue;
    }
    if (due == 0) {
      hung_up = true;
      continue;
    }
    const ssize_t n = read(input, buffer.data(), std::min(due, buffer.size()));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return {Pumped::End::finished};
    }
    const auto size = static_cast<std::size_t>(n);
    if (const Pumped written = pass_on({buffer.data(), size}, child);
        written.end != Pumped::End::finished) {
      return written;
    }
    if (pacer) {
      pacer->drawn(size);
    }
  }
}

// Waits until the child is reaped. Once it has been asked to end (`asked`, or with the signal
// that ends the relay should one come meanwhile), it is killed should it not end within the
// grace period. Returns false, with errno set, should it be lost.
bool wait_for(Child& child, int wake, bool asked) {
  std::optional<Clock::time_point> kill_at;
  if (asked) {
    kill_at = Clock::now() + grace;
  }
  bool killed = false;
  for (;;) {
    if (ending_signal != 0 && !kill_at) {
      child.ask_to_end(ending_signal);
      kill_at = Clock::now() + grace;
    }
    children_ended = 0;
    const int error = child.reap();
    if (child.status()) {
      return true;
    }
    if (error != 0) {
      errno = error;
      return false;
    }
    if (kill_at && !killed && Clock::now() >= *kill_at) {
      child.signal(SIGKILL);
      killed = true;
    }
    int timeout = -1;
    if (kill_at && !killed) {
      timeout = milliseconds_until(*kill_at);
    }
    if (child.descriptor() < 0) {
      const int look_every = static_cast<int>(tick.count());
      timeout = timeout < 0 ? look_every : std::min(timeout, look_every);
    }
    std::array<pollfd, 2> waiting{{{child.descriptor(), POLLIN, 0}, {wake, POLLIN, 0}}};
    if (poll(waiting.data(), waiting.size(), timeout) > 0 && waiting[1].revents != 0) {
      drain(wake);
    }
  }
}

// What became of the child, for the line that says why the relay ended.
std::string fate(const char* program, int status, int signal) {
  if (WIFSIGNALED(status) && WTERMSIG(status) == signal) {
    return std::string{"so was "} + program;
  }
  return os::ending(program, status);
}

} // namespace

int relay(const char* name, const Options& options) {
  const Ignored ignored = ignored_at_start();
  int wake[2];
  int output[2];
  if (!os::make_pipe(wake, O_CLOEXEC | O_NONBLOCK) || !os::make_pipe(output, O_CLOEXEC)) {
    std::fprintf(stderr, "%s: cannot make a pipe: %s\n", name, std::strerror(errno));
    return 1;
  }
  wake_up = wake[1];
  // The child runs at most one page ahead of what is drawn, as on a console that was slow to
  // draw: each of its pauses begins about when what came before it is on the screen.
  fcntl(output[1], F_SETPIPE_SZ, static_cast<int>(sysconf(_SC_PAGESIZE)));
  adopt_descendants();

  // Signals wait until the child is started, so that none reaches a handler of ours in it. The
  // child gets the mask the relay was given; the relay sees what it needs whatever that was.
  const sigset_t needed = relays_signal_set();
  sigset_t given;
  sigprocmask(SIG_BLOCK, &needed, &given);
  install_handlers(ignored);
  Started started = start_child(options.command, output[1], ignored, given);
  sigset_t own = given;
  for (int number = 1; number < NSIG; ++number) {
    if (sigismember(&needed, number) == 1) {
      sigdelset(&own, number);
    }
  }
  sigprocmask(SIG_SETMASK, &own, nullptr);
  close(output[1]);
  if (!started.child) {
    std::fprintf(stderr, "%s: cannot run '%s': %s\n", name, options.command[0],
                 std::strerror(started.error));
    // 1 for the relay's own failure (a fork), as for any other of its own.
    return started.exec_failed ? os::not_run_status(started.error) : 1;
  }
  Child& child = *started.child;

  const Pumped pumped = pump(output[0], wake[0], options.speed, child);
  const int end_with = pumped.end == Pumped::End::finished    ? 0
                       : pumped.end == Pumped::End::signalled ? int{ending_signal}
                                                              : SIGTERM;
  // First the signal, then the pipe closed: a child still writing ends by the signal passed on,
  // not by a broken pipe.
  if (end_with != 0) {
    child.ask_to_end(end_with);
  }
  close(output[0]);
  const bool reaped = wait_for(child, wake[0], end_with != 0);
  const int wait_error = errno;
  std::signal(SIGCHLD, SIG_DFL);
  const int signal = ending_signal;
  if (end_with != 0 || signal != 0) {
    end_descendants();
  }

  const char* program = options.command[0];
  if (signal != 0) {
    if (signal != SIGINT && reaped) {
      std::fprintf(stderr, "%s: ended by signal %d (%s); %s\n", name, signal, strsignal(signal),
                   fate(program, *child.status(), signal).c_str());
    }
    return end_by(signal);
  }
  if (pumped.end == Pumped::End::output_failed) {
    std::fprintf(stderr, "%s: write error: %s\n", name, std::strerror(pumped.error));
    return 1;
  }
  if (pumped.end == Pumped::End::poll_failed) {
    std::fprintf(stderr, "%s: cannot wait for output: %s\n", name, std::strerror(pumped.error));
    return 1;
  }
  if (!reaped) {
    std::fprintf(stderr, "%s: cannot wait for %s: %s\n", name, program, std::strerror(wait_error));
    return 1;
  }
  const int status = *child.status();
  // A death the relay did not cause is passed on as it is; the caller's shell reports it.
  return WIFSIGNALED(status) ? die_as_child_did(WTERMSIG(status)) : WEXITSTATUS(status);
}

} // namespace relay
