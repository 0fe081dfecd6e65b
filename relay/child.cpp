// Starting the relay's child, and ending what it leaves behind.

#include "relay/child.hpp"

#include "os/descriptors.hpp"
#include "os/start_program.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace relay {
namespace {

using Clock = std::chrono::steady_clock;

// How often the ones still there are looked for.
constexpr int look_every_ms = 10;

// The parent of a process, from /proc/PID/stat: "PID (COMMAND) STATE PPID ...", where the
// command may itself hold spaces and parentheses. -1 when it cannot be read.
pid_t parent_of(std::string_view pid) {
  const std::string path = "/proc/" + std::string{pid} + "/stat";
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return -1;
  }
  char text[512];
  const ssize_t n = read(fd, text, sizeof text);
  close(fd);
  const std::string_view stat{text, static_cast<std::size_t>(std::max<ssize_t>(n, 0))};
  const std::size_t after_command = stat.rfind(')');
  if (after_command == std::string_view::npos || after_command + 4 >= stat.size()) {
    return -1;
  }
  const std::string_view rest = stat.substr(after_command + 4); // past ") S "
  pid_t parent = -1;
  std::from_chars(rest.data(), rest.data() + rest.size(), parent);
  return parent;
}

std::vector<pid_t> children_of(pid_t parent) {
  std::vector<pid_t> children;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) {
    return children;
  }
  while (const dirent* entry = readdir(proc)) {
    const std::string_view name = entry->d_name;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error == std::errc{} && end == name.data() + name.size() && parent_of(name) == parent) {
      children.push_back(pid);
    }
  }
  closedir(proc);
  return children;
}

// A pidfd for the process, or -1 (errno set); by system call, as this C library's header for
// them cannot be included from C++.
int pidfd_for(pid_t pid) {
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

// Sends a signal through the process's pidfd, should it have one (-1 otherwise), or by its id.
void send(pid_t pid, int pidfd, int number) {
  if (pidfd >= 0) {
    syscall(SYS_pidfd_send_signal, pidfd, number, nullptr, 0);
  } else {
    kill(pid, number);
  }
}

} // namespace

Ignored ignored_at_start() {
  Ignored ignored{};
  for (int number = 1; number < NSIG; ++number) {
    struct sigaction action {};
    ignored[static_cast<std::size_t>(number)] =
        sigaction(number, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
  }
  return ignored;
}

void ask_to_end(pid_t pid, int pidfd, int signal) {
  send(pid, pidfd, signal);
  send(pid, pidfd, SIGCONT);
}

Child::~Child() {
  if (pidfd_ >= 0) {
    close(pidfd_);
  }
}

int Child::reap() {
  int wait_status = 0;
  pid_t pid;
  while ((pid = waitpid(-1, &wait_status, WNOHANG)) > 0 || (pid < 0 && errno == EINTR)) {
    // Until it is reaped here, the child's zombie holds its process id: this is the child.
    if (pid == pid_ && !status_) {
      status_ = wait_status;
    }
  }
  return pid < 0 ? errno : 0;
}

void Child::signal(int number) const {
  if (!status_) {
    send(pid_, pidfd_, number);
  }
}

void Child::ask_to_end(int number) const {
  if (!status_) {
    relay::ask_to_end(pid_, pidfd_, number);
  }
}

Started start_child(std::span<char* const> command, int output, const Ignored& ignored,
                    const sigset_t& mask) {
  os::Setup setup{.standard = {os::inherited, output, os::inherited}, .blocked = mask};
  setup.ignored.emplace();
  sigemptyset(&*setup.ignored);
  for (int number = 1; number < NSIG; ++number) {
    if (ignored[static_cast<std::size_t>(number)] && number != SIGCHLD) {
      sigaddset(&*setup.ignored, number);
    }
  }
  const pid_t parent = getpid();
  setup.last = [parent] {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
      _exit(127);
    }
    return true;
  };
  const os::Started started = os::start_program(command, setup);
  if (started.pid < 0) {
    return {.error = started.error, .exec_failed = started.exec_failed};
  }
  // Opened before anything reaps it, so that it names this child and no later process.
  return {.child = Child{started.pid, os::above_standard(pidfd_for(started.pid))}};
}

void adopt_descendants() {
  prctl(PR_SET_CHILD_SUBREAPER, 1);
}

void end_descendants() {
  const auto kill_at = Clock::now() + grace;
  const auto give_up = kill_at + grace;
  std::vector<pid_t> asked;
  for (;;) {
    pid_t reaped;
    while ((reaped = waitpid(-1, nullptr, WNOHANG)) > 0) {
    }
    if ((reaped < 0 && errno == ECHILD) || Clock::now() > give_up) {
      return;
    }
    // Those still there: asked once to end, and woken should they be stopped; killed when late.
    const bool late = Clock::now() > kill_at;
    for (const pid_t pid : children_of(getpid())) {
      if (late) {
        kill(pid, SIGKILL);
      } else if (std::ranges::find(asked, pid) == asked.end()) {
        ask_to_end(pid, -1, SIGTERM);
        asked.push_back(pid);
      }
    }
    poll(nullptr, 0, look_every_ms);
  }
}

} // namespace relay
