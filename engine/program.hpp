// What a demo's main calls: its script performed as a whole program.
#pragma once

#include "engine/script.hpp"

namespace engine {

// Performs the script on standard output with real pauses, as a whole program does. Returns the
// exit status: 0 when every byte was written; otherwise 1, after one line on standard error that
// names the program and the reason.
[[nodiscard]] int perform(const char* program_name, const Script& script);

} // namespace engine
