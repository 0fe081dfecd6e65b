#include "engine/script.hpp"

#include <charconv>

namespace engine {
namespace {

bool play_steps(std::span<const Step> steps, Stage& stage) {
  for (const Step& step : steps) {
    if (const auto* pause = std::get_if<Pause>(&step)) {
      stage.pause(pause->duration);
    } else if (const auto* print = std::get_if<Print>(&step)) {
      if (!stage.print(print->line)) {
        return false;
      }
    } else {
      for (int i = 0; i < std::get<Count>(step).n; ++i) {
        char digits[12];
        const char* end = std::to_chars(digits, digits + sizeof digits, i).ptr;
        if (!stage.counter(i, {digits, end})) {
          return false;
        }
      }
    }
  }
  return true;
}

} // namespace

bool play(const Script& script, Stage& stage) {
  const auto play_run = [&](const Unit& unit, int times) {
    for (int i = 0; i < times; ++i) {
      for (const Line line : unit) {
        if (!stage.print(line)) {
          return false;
        }
      }
    }
    return true;
  };
  return play_steps(script.before, stage) &&
         (script.chain.empty() || script.chain.front().for_each_run(play_run)) &&
         play_steps(script.after, stage);
}

} // namespace engine
