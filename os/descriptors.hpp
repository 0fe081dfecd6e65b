// Descriptors kept clear of standard input, output and error, for a program that may have been
// started with some of them closed.
#pragma once

namespace os {

// Moves a descriptor above standard error, where it cannot be mistaken for one of the three,
// closed on exec. Returns the descriptor (the same one when it was already there), or -1 with
// errno set; a negative one is passed back as it is.
int above_standard(int fd);

// A pipe whose two ends are above standard error, made with pipe2's flags (O_CLOEXEC among
// them, for ends that a program started meanwhile must not inherit). Returns false, with errno
// set, should it not be made.
bool make_pipe(int ends[2], int flags);

} // namespace os
