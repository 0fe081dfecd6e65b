// How long a performance lasts on a console drawing at a fixed speed.
#pragma once

#include "engine/script.hpp"

#include <cstdint>

// The moment the script's performance is over, its last pause included, in nanoseconds from its
// start, on a console that draws the given number of characters a second (a newline counting as
// one), by the console's clock.
std::int64_t performance_length_ns(const engine::Script& script, long characters_per_second);
