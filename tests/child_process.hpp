// The tests' child processes: started with the descriptors and signals asked, waited for, and
// their error output and time kept; temporary files and pipes to go with them.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A name for mkstemp or mkdtemp in TMPDIR: demo-test-PID-XXXXXX. Every name a test makes there
// carries its process id as the name's first digits, so that tests/remove_leftovers removes
// what a test killed before its cleanup left, and nothing of a test still running.
std::string temp_name_template();

// Where another user can reach a folder of the test's: the temporary folder, unless it or a
// folder above it is closed to others (as CI's own is), and then /tmp.
std::filesystem::path reachable_by_others();

// A file that is gone when the test is done with it.
class TempFile {
public:
  TempFile();
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  std::string contents() const;

private:
  int fd_;
};

struct ChildOptions {
  int stdout_fd = -1;                 // -1 starts the program with standard output closed
  bool stdin_closed = false;          // rather than /dev/null
  std::vector<int> ignored_signals{}; // ignored when it starts, as after nohup; others at default
  std::vector<int> blocked_signals{}; // blocked when it starts; none others
  long file_size_limit = -1;          // bytes; past it a write fails as on a full disk
  int user = -1; // run as this user and its own group alone (the test being root); -1: as is
};

// How a program ended, what it said on standard error and how long it ran.
struct ChildRun {
  bool exited = false; // false: ended by a signal
  int status = -1;     // exit status, or the signal that ended it
  std::string error_output;
  std::chrono::steady_clock::duration elapsed{};
};

// Starts a program (found on PATH when its name has no slash) with the arguments given, its
// standard input /dev/null, its standard output where the options put it and its standard error
// kept. The caller can read its output while it runs, then waits for it.
class Child {
public:
  Child(const std::string& program, const std::vector<std::string>& args, ChildOptions options);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  ChildRun wait();

  // Sends the program a signal.
  void signal(int number) const;

  int pid() const { return pid_; }

private:
  int pid_;
  int not_run_ = 0; // the status of a program that could not be run: 127 or 126
  TempFile error_output_;
  std::chrono::steady_clock::time_point started_;
};

// Runs a program to its end with the options given.
ChildRun run(const std::string& program, const std::vector<std::string>& args,
             ChildOptions options);

// A pipe whose ends are not inherited by child processes beyond the one they are handed to.
struct Pipe {
  Pipe();
  ~Pipe();
  void close_read();
  void close_write();
  int read = -1;
  int write = -1;
};

// What a reader got from a pipe, read to its end as it came: every byte, when each of the texts
// looked for first arrived, and after each read how long it had been since `started` and how
// many bytes had come.
struct TimedRead {
  struct Total {
    std::chrono::steady_clock::duration at;
    std::size_t bytes;
  };
  std::string bytes;
  std::vector<std::optional<std::chrono::steady_clock::duration>> arrived; // one a text
  std::vector<Total> totals;
};
TimedRead read_timed(int fd, std::chrono::steady_clock::time_point started,
                     std::span<const std::string_view> texts = {});
