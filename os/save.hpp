// Saving a file whole or not at all.
#pragma once

#include <string_view>

namespace os {

// Writes the bytes to the file named. Where it names a regular file, or nothing yet (a symbolic
// link is followed to what it names), they go to a temporary file beside it, renamed into place
// once all are written: a failure, or SIGINT, SIGTERM or SIGHUP meanwhile, leaves the file as it
// was and nothing else behind. A file that was there must be one the caller may write; its
// replacement keeps its permission bits (not setuid or setgid) and, saved by root, its owner and
// group. Anything else (a device, a pipe, a name through /proc/self/fd such as /dev/stdout) is
// written directly and never replaced. Returns 0, or the errno of the failure.
int save(const char* name, std::string_view bytes);

} // namespace os
