// Saving a file whole or not at all, filled by the caller or by another program.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace os {

// A file being saved: a temporary file beside the one named, filled with bytes or by another
// program through its name, and put in place by rename once it is whole; should it never be, the
// temporary goes and the file named stays as it was. The name's symbolic links are followed to
// what it finally names. As the shell's > and cp have it, a file there must be one the caller may
// write, and its replacement keeps its permission bits (not setuid or setgid) and, saved by
// root, its owner and group, applied once the filling is over (a program that reopens its output
// by name is not locked out by them meanwhile). Everything that can be found wrong is found
// before any work: a name too long, a folder, a file a sticky folder keeps from the caller.
//
// A name that is neither a regular file nor nothing yet (a device, a pipe, /dev/stdout) is
// written directly and never replaced, for those who may take it; the others refuse it, as a
// file they cannot seek in.
class Save {
public:
  enum class Target {
    file_only, // a regular file, or none yet
    any,       // also a device or a pipe, written directly
  };

  // `maker` names the temporary: ".MAKER.XXXXXX" beside the file.
  Save(const std::string& name, Target target, std::string_view maker);
  ~Save();
  Save(const Save&) = delete;
  Save& operator=(const Save&) = delete;

  // Why the file cannot be saved (an errno), found before any work; 0 when it can.
  int error() const { return error_; }

  // What to fill: its descriptor, open for writing, and its name.
  int fd() const { return fd_; }
  const std::string& path() const { return written_; }

  // Writes all of the bytes; 0, or the errno of the failure.
  int write(std::string_view bytes);

  // Puts the file whole in place, once everything that fills it has ended. 0, or the errno of the
  // failure, and then the file named is as it was.
  int commit();

private:
  void discard();

  std::string target_;  // what the name finally names
  std::string written_; // the temporary, or the target written directly
  std::optional<struct stat> there_{};
  bool direct_ = false;
  int fd_ = -1;
  int error_ = 0;
};

// Writes the bytes to the file named, whole or not at all, as Save does with Target::any.
// Returns 0, or the errno of the failure.
int save(const char* name, std::string_view bytes, std::string_view maker);

} // namespace os
