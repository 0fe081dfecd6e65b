// Child processes for the tests, started through os_calls, with their error output kept.

#include "child_process.hpp"

#include "os/descriptors.hpp"
#include "os/start_program.hpp"
#include "os/write_all.hpp"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::string temp_name_template() {
  return (std::filesystem::temp_directory_path() /
          ("demo-test-" + std::to_string(getpid()) + "-XXXXXX"))
      .string();
}

TempFile::TempFile() {
  std::string name = temp_name_template();
  fd_ = mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    throw std::runtime_error("cannot make a temporary file in " + name + ": " +
                             std::strerror(errno));
  }
  unlink(name.c_str());
}

TempFile::~TempFile() {
  close(fd_);
}

std::string TempFile::contents() const {
  std::string bytes;
  char chunk[65536];
  off_t offset = 0;
  for (ssize_t n; (n = pread(fd_, chunk, sizeof chunk, offset)) > 0; offset += n) {
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  return bytes;
}

Child::Child(const std::string& program, const std::vector<std::string>& args, ChildOptions options)
    : started_{std::chrono::steady_clock::now()} {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);

  const int null = options.stdin_closed ? os::closed : open("/dev/null", O_RDONLY | O_CLOEXEC);
  os::Setup setup{.standard = {null, options.stdout_fd >= 0 ? options.stdout_fd : os::closed,
                               error_output_.fd()}};
  setup.ignored.emplace();
  sigemptyset(&*setup.ignored);
  for (const int number : options.ignored_signals) {
    sigaddset(&*setup.ignored, number);
  }
  setup.blocked.emplace();
  sigemptyset(&*setup.blocked);
  for (const int number : options.blocked_signals) {
    sigaddset(&*setup.blocked, number);
  }
  if (options.file_size_limit >= 0) {
    sigaddset(&*setup.ignored, SIGXFSZ);
  }
  const passwd* user = options.user >= 0 ? getpwuid(static_cast<uid_t>(options.user)) : nullptr;
  const gid_t group = user != nullptr ? user->pw_gid : static_cast<gid_t>(options.user);
  setup.last = [&options, group] {
    const auto limit = static_cast<rlim_t>(options.file_size_limit);
    const rlimit file_size{limit, limit};
    if (options.file_size_limit >= 0 && setrlimit(RLIMIT_FSIZE, &file_size) != 0) {
      return false;
    }
    return options.user < 0 || (setgroups(0, nullptr) == 0 && setgid(group) == 0 &&
                                setuid(static_cast<uid_t>(options.user)) == 0);
  };
  const os::Started started = os::start_program(argv, setup);
  if (null >= 0) {
    close(null);
  }
  pid_ = started.pid;
  if (started.exec_failed) {
    not_run_ = os::not_run_status(started.error);
    const std::string why = "cannot run " + program + ": " + std::strerror(started.error) + "\n";
    os::write_all(error_output_.fd(), why);
  } else if (started.pid < 0) {
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(started.error));
  }
}

Child::~Child() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

ChildRun Child::wait() {
  int status = 0;
  while (pid_ > 0 && waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  ChildRun result;
  result.elapsed = std::chrono::steady_clock::now() - started_;
  // A program that could not be run ended at once, as if it had run and exited so.
  result.exited = not_run_ != 0 || WIFEXITED(status);
  result.status = not_run_ != 0 ? not_run_ : result.exited ? WEXITSTATUS(status) : WTERMSIG(status);
  result.error_output = error_output_.contents();
  return result;
}

void Child::signal(int number) const {
  kill(pid_, number);
}

ChildRun run(const std::string& program, const std::vector<std::string>& args,
             ChildOptions options) {
  return Child{program, args, options}.wait();
}

Pipe::Pipe() {
  int ends[2];
  if (!os::make_pipe(ends, O_CLOEXEC)) {
    throw std::runtime_error(std::string{"cannot make a pipe: "} + std::strerror(errno));
  }
  read = ends[0];
  write = ends[1];
}

Pipe::~Pipe() {
  close_read();
  close_write();
}

void Pipe::close_read() {
  if (read >= 0) {
    close(read);
    read = -1;
  }
}

void Pipe::close_write() {
  if (write >= 0) {
    close(write);
    write = -1;
  }
}

TimedRead read_timed(int fd, std::chrono::steady_clock::time_point started,
                     std::span<const std::string_view> texts) {
  TimedRead got;
  got.arrived.resize(texts.size());
  char piece[65536];
  for (ssize_t n; (n = ::read(fd, piece, sizeof piece)) > 0;) {
    const auto now = std::chrono::steady_clock::now() - started;
    got.bytes.append(piece, static_cast<std::size_t>(n));
    got.totals.push_back({now, got.bytes.size()});
    const std::size_t fresh = got.bytes.size() - static_cast<std::size_t>(n);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      // A text may straddle two reads: look from just before the new bytes.
      const std::size_t from = fresh - std::min(fresh, texts[i].size());
      if (!got.arrived[i] && got.bytes.find(texts[i], from) != std::string::npos) {
        got.arrived[i] = now;
      }
    }
  }
  return got;
}

std::filesystem::path reachable_by_others() {
  const auto temporary = std::filesystem::temp_directory_path();
  for (auto folder = temporary; folder != folder.root_path(); folder = folder.parent_path()) {
    struct stat status {};
    if (stat(folder.c_str(), &status) != 0 || (status.st_mode & S_IXOTH) == 0) {
      return "/tmp";
    }
  }
  return temporary;
}
