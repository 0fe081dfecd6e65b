// Descriptors moved above standard error, and pipes made there.

#include "os/descriptors.hpp"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace os {

int above_standard(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) {
    return fd;
  }
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int error = errno;
  close(fd);
  errno = error;
  return moved;
}

bool make_pipe(int ends[2], int flags) {
  if (pipe2(ends, flags) != 0) {
    return false;
  }
  ends[0] = above_standard(ends[0]);
  ends[1] = above_standard(ends[1]);
  if (ends[0] >= 0 && ends[1] >= 0) {
    return true;
  }
  const int error = errno;
  for (int i = 0; i < 2; ++i) {
    if (ends[i] >= 0) {
      close(ends[i]);
    }
  }
  errno = error;
  return false;
}

} // namespace os
