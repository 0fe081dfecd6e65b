#pragma once

#include "engine/script.hpp"

#include <chrono>
#include <cstddef>
#include <span>

// Facts about a script that the compiler can check against the tables it was written from. Each
// is worked out from the units' pattern, not by playing thousands of steps, so that checking
// costs the compiler next to nothing. No std::get_if: under UBSan, GCC 12 takes its null check
// for no constant expression.
namespace engine::facts {

constexpr std::size_t print_steps(const Script& script) {
  const auto prints = [](std::span<const Step> steps) {
    std::size_t count = 0;
    for (const Step& step : steps) {
      if (std::holds_alternative<Print>(step)) {
        ++count;
      }
    }
    return count;
  };
  return prints(script.before()) + (script.has_units() ? script.units().line_count() : 0) +
         prints(script.after());
}

constexpr std::size_t printed_characters(const Script& script) {
  const auto characters = [](std::span<const Step> steps) {
    std::size_t total = 0;
    for (const Step& step : steps) {
      if (std::holds_alternative<Print>(step)) {
        total += std::get<Print>(step).line.size();
      }
    }
    return total;
  };
  return characters(script.before()) + (script.has_units() ? script.units().characters() : 0) +
         characters(script.after());
}

constexpr std::chrono::milliseconds total_pause(const Script& script) {
  std::chrono::milliseconds total{0};
  for (const auto steps : {script.before(), script.after()}) {
    for (const Step& step : steps) {
      if (std::holds_alternative<Pause>(step)) {
        total += std::get<Pause>(step).duration;
      }
    }
  }
  return total;
}

// True when every printed line is in the table and the table lists them once each, in the order
// the script first prints them, with none left unused. Lines are told apart by their text: no
// two lines of a table are alike.
constexpr bool table_in_first_use_order(const Script& script, std::span<const Line> table) {
  std::size_t next_new = 0;
  bool in_order = true;
  const auto printed = [&](Line line) {
    for (const Line known : table.first(next_new)) {
      if (known == line) {
        return;
      }
    }
    if (next_new == table.size() || table[next_new] != line) {
      in_order = false;
      return;
    }
    ++next_new;
  };
  const auto print_steps_of = [&](std::span<const Step> steps) {
    for (const Step& step : steps) {
      if (std::holds_alternative<Print>(step)) {
        printed(std::get<Print>(step).line);
      }
    }
  };
  print_steps_of(script.before());
  if (script.has_units()) {
    script.units().for_each_first_use([&](const Unit& unit) {
      for (const Line line : unit) {
        printed(line);
      }
    });
  }
  print_steps_of(script.after());
  return in_order && next_new == table.size();
}

} // namespace engine::facts
