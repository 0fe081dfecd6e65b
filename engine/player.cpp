// The script player: every expanded step, in order, onto a stage.

#include "engine/script.hpp"

#include <algorithm>
#include <cstddef>

namespace engine {
namespace {

// Counts up the digits in place, as an odometer does, which costs a few instructions a number
// where converting each afresh would cost dozens.
bool play_counter(int n, Stage& stage) {
  char digits[] = "0000000000"; // as many as the largest int has, each past `size` a zero
  std::size_t size = 1;
  for (int i = 0; i < n; ++i) {
    if (!stage.counter(i, {digits, size})) {
      return false;
    }
    std::size_t last = size;
    while (last > 0 && digits[last - 1] == '9') {
      digits[--last] = '0';
    }
    ++digits[last == 0 ? 0 : last - 1]; // all nines, now zeros: a one before them
    size += last == 0 ? 1 : 0;
  }
  return true;
}

bool play_steps(std::span<const Step> steps, Stage& stage) {
  for (const Step& step : steps) {
    if (const auto* pause = std::get_if<Pause>(&step)) {
      stage.pause(pause->duration);
    } else if (const auto* print = std::get_if<Print>(&step)) {
      if (!stage.print(print->line)) {
        return false;
      }
    } else if (!play_counter(std::get<Count>(step).n, stage)) {
      return false;
    }
  }
  return true;
}

} // namespace

bool play(const Script& script, Stage& stage) {
  const auto play_run = [&](const Unit& unit, int times) {
    for (int i = 0; i < times; ++i) {
      if (!std::all_of(unit.begin(), unit.end(), [&](Line line) { return stage.print(line); })) {
        return false;
      }
    }
    return true;
  };
  return play_steps(script.before, stage) &&
         (script.chain.empty() || script.chain.front().for_each_run(play_run)) &&
         play_steps(script.after, stage);
}

} // namespace engine
