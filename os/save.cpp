// Saving a file whole or not at all: a temporary file beside it, renamed into place, with the
// permissions (and, for root, the owner) of the file it replaces, and never over a file the
// caller could not have written.

#include "os/save.hpp"

#include "os/write_all.hpp"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <linux/magic.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace os {
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
  std::optional<struct stat> there{}; // the regular file that is there
};

// The signals that interrupt a recording (Ctrl-C, a terminal closed, kill) held off while the
// temporary file exists, so that it is gone before one of them ends the recorder.
class SignalsHeld {
public:
  SignalsHeld() {
    sigemptyset(&held_);
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
      sigaddset(&held_, number);
    }
    sigprocmask(SIG_BLOCK, &held_, &before_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

  bool arrived() const {
    sigset_t pending;
    sigpending(&pending);
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
      if (sigismember(&pending, number) == 1 && sigismember(&before_, number) == 0) {
        return true;
      }
    }
    return false;
  }

private:
  sigset_t held_;
  sigset_t before_;
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
      return Target{path, true, status};
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

int write_directly(const std::string& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    return errno;
  }
  int error = os::write_all(fd, bytes);
  if (close(fd) != 0 && error == 0) {
    error = errno;
  }
  return error;
}

int write_and_rename(const Target& target, std::string_view bytes) {
  const SignalsHeld held;
  // A name of its own length, so that any name the file may have is also one it can be saved as.
  std::string temporary = folder_of(target.path) + "/.qav-record.XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    return errno;
  }
  int error = 0;
  mode_t mode = 0;
  if (target.there) {
    // As cp over a file: its permissions, without setuid and setgid, and for root its owner.
    mode = target.there->st_mode & 0777;
    if (geteuid() == 0 && fchown(fd, target.there->st_uid, target.there->st_gid) != 0) {
      error = errno;
    }
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (error == 0) {
    error = fchmod(fd, mode) != 0 ? errno : os::write_all(fd, bytes);
  }
  if (error == 0 && fsync(fd) != 0) {
    error = errno;
  }
  if (close(fd) != 0 && error == 0) {
    error = errno;
  }
  if (error == 0 && held.arrived()) {
    error = EINTR; // the file stays as it was; the signal ends the recorder once released
  }
  if (error == 0 && rename(temporary.c_str(), target.path.c_str()) != 0) {
    error = errno; // EPERM in a sticky folder, for a file neither the caller's nor the folder's
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
  // What the caller could not open for writing is not replaced either, as the shell's > has it.
  if (target->there && faccessat(AT_FDCWD, target->path.c_str(), W_OK, AT_EACCESS) != 0) {
    return errno;
  }
  return target->replace ? write_and_rename(*target, bytes) : write_directly(target->path, bytes);
}

} // namespace os
