// Facts about a script that the compiler checks: its totals and its line table's order.
#pragma once

#include "engine/script.hpp"

#include <chrono>
#include <cstddef>
#include <span>

// Facts about a script that the compiler can check against the tables it was written from. Each
// is worked out from the chain's pattern, not by playing thousands of steps, so that checking
// costs the compiler next to nothing. No std::get_if: under UBSan, GCC 12 takes its null check
// for no constant expression.
namespace engine::facts {

// Calls `visit` with each printed line and how many times it is printed there, in the order the
// script prints them: once for each Print step, and once for each line of each run of alike
// units of the chain.
template <class Visit> constexpr void for_each_print(const Script& script, Visit visit) {
  const auto prints_of = [&](std::span<const Step> steps) {
    for (const Step& step : steps) {
      if (std::holds_alternative<Print>(step)) {
        visit(std::get<Print>(step).line, std::size_t{1});
      }
    }
  };
  prints_of(script.before);
  for (const Units& chain : script.chain) {
    chain.for_each_run([&](const Unit& unit, int times) {
      for (const Line line : unit) {
        visit(line, static_cast<std::size_t>(times));
      }
      return true;
    });
  }
  prints_of(script.after);
}

// What a script adds up to: its Print steps, the characters they print, and its pauses.
struct Totals {
  std::size_t print_steps = 0;
  std::size_t printed_characters = 0;
  std::chrono::milliseconds pause{0};
};

constexpr Totals totals(const Script& script) {
  Totals totals;
  for_each_print(script, [&](Line line, std::size_t times) {
    totals.print_steps += times;
    totals.printed_characters += line.size() * times;
  });
  for (const auto steps : {script.before, script.after}) {
    for (const Step& step : steps) {
      if (std::holds_alternative<Pause>(step)) {
        totals.pause += std::get<Pause>(step).duration;
      }
    }
  }
  return totals;
}

// True when every printed line is in the table and the table lists them once each, in the order
// the script first prints them, with none left unused. Lines are told apart by their text: no
// two lines of a table are alike.
constexpr bool table_in_first_use_order(const Script& script, std::span<const Line> table) {
  std::size_t next_new = 0;
  bool in_order = true;
  for_each_print(script, [&](Line line, std::size_t) {
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
  });
  return in_order && next_new == table.size();
}

} // namespace engine::facts
