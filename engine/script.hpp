#pragma once

#include "engine/line.hpp"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <span>
#include <variant>

namespace engine {

struct Pause {
  std::chrono::milliseconds duration;
};

struct Print {
  Line line;
};

// Prints the counter numbers 0 to n - 1, one per line.
struct Count {
  int n;
};

using Step = std::variant<Pause, Print, Count>;
using Script = std::span<const Step>;

using Sleep = std::function<void(std::chrono::milliseconds)>;

// Plays the steps in order. When the output fails, stops at once, with no more output and no
// more pauses, and returns false: nobody is watching a performance that cannot be written.
[[nodiscard]] bool play(Script script, std::ostream& out, const Sleep& sleep);

} // namespace engine
