// Writing every byte, whatever the system takes at a time.

#include "os/write_all.hpp"

#include <cerrno>
#include <unistd.h>

namespace os {

int write_all(int fd, std::string_view bytes, const std::function<bool()>& between) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno != EINTR) {
      return errno;
    }
    if (n == 0) {
      return ENOSPC;
    }
    bytes.remove_prefix(n < 0 ? 0 : static_cast<std::size_t>(n));
    if (!bytes.empty() && between && !between()) {
      return EINTR;
    }
  }
  return 0;
}

} // namespace os
