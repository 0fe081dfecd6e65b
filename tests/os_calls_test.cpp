// What every tool asks of the system: all bytes written whatever a write takes, pipes clear of
// the standard descriptors, and a program that cannot be started said so with its reason.

#include "child_process.hpp"
#include "os/descriptors.hpp"
#include "os/start_program.hpp"
#include "os/write_all.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::string drain(int fd) {
  std::string bytes;
  char piece[65536];
  for (ssize_t n; (n = read(fd, piece, sizeof piece)) > 0;) {
    bytes.append(piece, static_cast<std::size_t>(n));
  }
  return bytes;
}

// A pipe that takes a page at a time without waiting: each write is short while a reader drains
// it between writes, and one when none does fails.
TEST(WriteAll, WritesAgainAfterEachShortWriteAndStopsWhenAskedOrWithTheReason) {
  Pipe pipe;
  fcntl(pipe.write, F_SETFL, O_NONBLOCK);
  fcntl(pipe.read, F_SETFL, O_NONBLOCK);
  const int page = fcntl(pipe.write, F_SETPIPE_SZ, static_cast<int>(sysconf(_SC_PAGESIZE)));
  ASSERT_GT(page, 0) << "cannot size the pipe: " << std::strerror(errno);
  const std::string bytes(static_cast<std::size_t>(page) * 5 / 2, 'x');

  std::string got;
  int asked = 0;
  EXPECT_EQ(os::write_all(pipe.write, bytes,
                          [&] {
                            ++asked;
                            got += drain(pipe.read);
                            return true;
                          }),
            0);
  EXPECT_EQ(got + drain(pipe.read), bytes);
  EXPECT_EQ(asked, 2);

  EXPECT_EQ(os::write_all(pipe.write, bytes, [] { return false; }), EINTR);
  EXPECT_EQ(drain(pipe.read).size(), static_cast<std::size_t>(page));

  // Nobody drains it: the write that cannot be made says why.
  EXPECT_EQ(os::write_all(pipe.write, bytes), EAGAIN);
  EXPECT_EQ(os::write_all(pipe.write, ""), 0); // nothing to write is no failure
}

// A file size limit cuts a write short, and the next one fails as on a full disk.
TEST(WriteAll, ReportsTheFailureOfAWriteAfterAShortOne) {
  TempFile file;
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  const rlimit limit{60, before.rlim_max};
  const auto disposition = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limit);
  const int error = os::write_all(file.fd(), std::string(100, 'x'));
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, disposition);
  EXPECT_EQ(error, EFBIG) << std::strerror(error);
  EXPECT_EQ(file.contents(), std::string(60, 'x'));
  EXPECT_EQ(os::write_all(file.fd(), ""), 0);
}

// Made while standard input and output are closed, a pipe does not take their places.
TEST(MakePipe, KeepsItsEndsAboveStandardError) {
  const int input = os::above_standard(dup(STDIN_FILENO));
  const int output = os::above_standard(dup(STDOUT_FILENO));
  ASSERT_TRUE(input > STDERR_FILENO && output > STDERR_FILENO) << std::strerror(errno);
  close(STDIN_FILENO);
  close(STDOUT_FILENO);
  int ends[2];
  const bool made = os::make_pipe(ends, O_CLOEXEC);
  const bool standard_closed =
      fcntl(STDIN_FILENO, F_GETFD) < 0 && fcntl(STDOUT_FILENO, F_GETFD) < 0;
  dup2(input, STDIN_FILENO);
  dup2(output, STDOUT_FILENO);
  close(input);
  close(output);
  ASSERT_TRUE(made) << std::strerror(errno);
  EXPECT_GT(ends[0], STDERR_FILENO);
  EXPECT_GT(ends[1], STDERR_FILENO);
  EXPECT_TRUE(standard_closed);
  EXPECT_EQ(fcntl(ends[0], F_GETFD), FD_CLOEXEC);
  close(ends[0]);
  close(ends[1]);
}

// A program not there, one that cannot be run and a set-up that fails are each told apart, with
// the reason; the tests' children end as a shell has them, with the reason said.
TEST(StartProgram, SaysWhyAProgramCouldNotBeStarted) {
  const auto start = [](const char* program, const os::Setup& setup = {}) {
    char* const command[] = {const_cast<char*>(program), nullptr};
    return os::start_program(command, setup);
  };
  const os::Started not_found = start("/nonexistent/program");
  EXPECT_TRUE(not_found.pid < 0 && not_found.exec_failed && not_found.error == ENOENT);
  const os::Started not_runnable = start("/dev/null");
  EXPECT_TRUE(not_runnable.pid < 0 && not_runnable.exec_failed && not_runnable.error == EACCES);
  const os::Started set_up_failed = start("true", {.last = [] {
                                            errno = EPERM;
                                            return false;
                                          }});
  EXPECT_TRUE(set_up_failed.pid < 0 && !set_up_failed.exec_failed && set_up_failed.error == EPERM);

  const ChildRun run_not_found = run("/nonexistent/program", {}, {});
  EXPECT_TRUE(run_not_found.exited && run_not_found.status == 127);
  EXPECT_EQ(run_not_found.error_output,
            "cannot run /nonexistent/program: " + std::string{std::strerror(ENOENT)} + "\n");
  EXPECT_EQ(run("/dev/null", {}, {}).status, 126);
}

} // namespace
