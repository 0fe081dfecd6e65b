// Saving a file whole or not at all: a temporary file beside it, renamed into place.

#include "recorder/save.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <linux/magic.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace recorder {
namespace {

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A link in /proc (/proc/self/fd/1, which /dev/stdout names) stands for an open file, which
// may be anything; whatever it is, it is not ours to replace.
bool in_proc(const std::string& path) {
  struct statfs folder {};
  return statfs(folder_of(path).c_str(), &folder) == 0 && folder.f_type == PROC_SUPER_MAGIC;
}

struct Target {
  std::string path;
  bool replace = false; // a regular file or none yet: written beside it and renamed into place
  std::optional<mode_t> mode{}; // the permissions of the file that is there
};

// Follows the name's symbolic links to what it finally names.
std::optional<Target> resolve(std::string path) {
  for (int links = 0; links < 40; ++links) {
    if (in_proc(path)) {
      return Target{path};
    }
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
      if (errno == ENOENT) {
        return Target{path, true};
      }
      return std::nullopt;
    }
    if (S_ISREG(status.st_mode)) {
      return Target{path, true, status.st_mode & 07777};
    }
    if (!S_ISLNK(status.st_mode)) {
      return Target{path};
    }
    char target[PATH_MAX];
    const ssize_t size = readlink(path.c_str(), target, sizeof target);
    if (size < 0) {
      return std::nullopt;
    }
    const std::string next{target, static_cast<std::size_t>(size)};
    path = next.starts_with('/') ? next : folder_of(path) + "/" + next;
  }
  errno = ELOOP;
  return std::nullopt;
}

int write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return n < 0 ? errno : ENOSPC; // nothing written and no reason: a full device
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int write_directly(const std::string& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    return errno;
  }
  int error = write_all(fd, bytes);
  if (close(fd) != 0 && error == 0) {
    error = errno;
  }
  return error;
}

int write_and_rename(const Target& target, std::string_view bytes) {
  const std::size_t slash = target.path.rfind('/');
  const std::string base = slash == std::string::npos ? target.path : target.path.substr(slash + 1);
  std::string temporary = folder_of(target.path) + "/." + base + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    return errno;
  }
  mode_t mode = 0;
  if (target.mode) {
    mode = *target.mode;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  int error = fchmod(fd, mode) != 0 ? errno : write_all(fd, bytes);
  if (error == 0 && fsync(fd) != 0) {
    error = errno;
  }
  if (close(fd) != 0 && error == 0) {
    error = errno;
  }
  if (error == 0 && rename(temporary.c_str(), target.path.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    unlink(temporary.c_str());
  }
  return error;
}

} // namespace

int save(const char* name, std::string_view bytes) {
  const std::optional<Target> target = resolve(name);
  if (!target) {
    return errno;
  }
  return target->replace ? write_and_rename(*target, bytes) : write_directly(target->path, bytes);
}

} // namespace recorder
