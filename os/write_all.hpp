// Writing every byte: again after a short write or one a signal interrupted.
#pragma once

#include <functional>
#include <string_view>

namespace os {

// Writes all of `bytes` to `fd`, one write while the system takes all that is asked. `between`,
// where given, runs after a write that left bytes to write and before the next, for whatever is
// to be done meanwhile; should it return false, the writing stops, with EINTR.
// Returns 0, or the errno of the failure: ENOSPC for a write that wrote nothing and gave no
// reason, which the standard tools take for a full device.
int write_all(int fd, std::string_view bytes, const std::function<bool()>& between = {});

} // namespace os
