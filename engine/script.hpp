// Steps and scripts, and the player that plays a script onto a stage.
#pragma once

#include "engine/stage.hpp"
#include "engine/units.hpp"

#include <chrono>
#include <cstddef>
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

// An ordered, constant list of steps: the steps before a chain of units, one Print step for each
// line of the chain, and the steps after it. A script without a chain is its steps alone. The
// chain is stored as its pattern and expanded as it is played, so that thousands of Print steps
// cost a few hundred bytes.
struct Script {
  template <std::size_t N> constexpr Script(const Step (&steps)[N]) : before{steps} {}
  constexpr Script(std::span<const Step> steps, const Units& units, std::span<const Step> then)
      : before{steps}, chain{&units, 1}, after{then} {}

  std::span<const Step> before;
  std::span<const Units> chain; // none or one
  std::span<const Step> after;
};

// Plays the expanded steps in order onto the stage. When the output fails, stops at once, with
// no more output and no more pauses, and returns false: nobody is watching a performance that
// cannot be written.
[[nodiscard]] bool play(const Script& script, Stage& stage);

} // namespace engine
