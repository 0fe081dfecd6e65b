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
#include <sys/statfs.h>
#include <unistd.h>

namespace os {
namespace {

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link in /proc (/proc/self/fd/1, which /dev/stdout names) stands for an open file, which
// may be anything; whatever it is, it is not ours to replace.
bool in_proc(const std::string& path) {
  struct statfs folder {};
  return statfs(folder_of(path).c_str(), &folder) == 0 && folder.f_type == PROC_SUPER_MAGIC;
}

struct Resolved {
  std::string path;
  std::optional<struct stat> status{}; // none: nothing there yet
};

// Follows the name's symbolic links to what it finally names; errno set when it cannot.
std::optional<Resolved> resolve(std::string path) {
  for (int links = 0; links < 40; ++links) {
    struct stat status {};
    if (in_proc(path)) {
      if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
      }
      status.st_mode = (status.st_mode & ~static_cast<mode_t>(S_IFMT)) | S_IFCHR; // never replaced
      return Resolved{path, status};
    }
    if (lstat(path.c_str(), &status) != 0) {
      if (errno == ENOENT) {
        return Resolved{path};
      }
      return std::nullopt;
    }
    if (!S_ISLNK(status.st_mode)) {
      return Resolved{path, status};
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

// What rename would refuse at the end, known now: in a sticky folder, a file neither the caller's
// nor the folder's owner's may be replaced only by root.
int sticky_refusal(const std::string& path, const struct stat& there) {
  struct stat folder {};
  if (stat(folder_of(path).c_str(), &folder) != 0) {
    return errno;
  }
  const uid_t caller = geteuid();
  const bool kept = (folder.st_mode & S_ISVTX) != 0 && caller != 0 && there.st_uid != caller &&
                    folder.st_uid != caller;
  return kept ? EPERM : 0;
}

// The signals that end a program from outside (Ctrl-C, a terminal closed, kill, Ctrl-\) held off
// while a temporary file is made or removed, so that its name is known whenever one ends it.
class SignalsHeld {
public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
      sigaddset(&held, number);
    }
    sigprocmask(SIG_BLOCK, &held, &before_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

  // Whether one came meanwhile that was not held before.
  bool arrived() const {
    sigset_t pending;
    sigpending(&pending);
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
      if (sigismember(&pending, number) == 1 && sigismember(&before_, number) == 0) {
        return true;
      }
    }
    return false;
  }

private:
  sigset_t before_;
};

mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

} // namespace

Save::Save(const std::string& name, Target target, std::string_view maker) {
  const std::optional<Resolved> resolved = resolve(name);
  if (!resolved) {
    error_ = errno;
    return;
  }
  target_ = resolved->path;
  there_ = resolved->status;
  if (base_of(target_).size() > NAME_MAX) {
    error_ = ENAMETOOLONG;
    return;
  }
  if (there_ && S_ISDIR(there_->st_mode)) {
    error_ = EISDIR;
    return;
  }
  // What the caller could not open for writing is not replaced either, as the shell's > has it.
  if (there_ && faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
    error_ = errno;
    return;
  }
  if (there_ && !S_ISREG(there_->st_mode)) {
    if (target == Target::file_only) {
      error_ = ESPIPE; // "Illegal seek": not a file whose every part can be rewritten
      return;
    }
    direct_ = true;
    written_ = target_;
    fd_ = open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    error_ = fd_ < 0 ? errno : 0;
    return;
  }
  if (there_) {
    if ((error_ = sticky_refusal(target_, *there_)) != 0) {
      return;
    }
  }
  const SignalsHeld held;
  written_ = folder_of(target_) + "/." + std::string{maker} + ".XXXXXX";
  fd_ = mkostemp(written_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    error_ = errno;
    written_.clear();
    return;
  }
  // Readable and writable by its owner until the filling is over; the file's own mode after.
  if (fchmod(fd_, 0600 | new_file_mode()) != 0) {
    error_ = errno;
    discard();
  }
}

Save::~Save() {
  discard();
}

void Save::discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!direct_ && !written_.empty()) {
    const SignalsHeld held;
    unlink(written_.c_str());
    written_.clear();
  }
}

int Save::write(std::string_view bytes) {
  return os::write_all(fd_, bytes);
}

int Save::commit() {
  if (error_ != 0) {
    return error_;
  }
  int error = 0;
  if (direct_) {
    error = close(fd_) != 0 ? errno : 0;
    fd_ = -1;
    return error;
  }
  // As cp over a file: its permissions, without setuid and setgid, and for root its owner.
  const mode_t mode = there_ ? there_->st_mode & 0777 : new_file_mode();
  if (there_ && geteuid() == 0 && fchown(fd_, there_->st_uid, there_->st_gid) != 0) {
    error = errno;
  }
  if (error == 0 && fchmod(fd_, mode) != 0) {
    error = errno;
  }
  if (error == 0 && fsync(fd_) != 0) {
    error = errno;
  }
  if (close(fd_) != 0 && error == 0) {
    error = errno;
  }
  fd_ = -1;
  if (error == 0) {
    const SignalsHeld held;
    if (rename(written_.c_str(), target_.c_str()) == 0) {
      written_.clear();
    } else {
      error = errno;
    }
  }
  if (error != 0) {
    discard();
  }
  return error;
}

int save(const char* name, std::string_view bytes, std::string_view maker) {
  // Held for the whole save, which takes a moment: a signal meanwhile leaves the file as it was
  // and nothing beside it, then ends the caller once released.
  const SignalsHeld held;
  Save file{name, Save::Target::any, maker};
  if (file.error() != 0) {
    return file.error();
  }
  if (const int error = file.write(bytes); error != 0) {
    return error;
  }
  if (held.arrived()) {
    return EINTR;
  }
  return file.commit();
}

} // namespace os
