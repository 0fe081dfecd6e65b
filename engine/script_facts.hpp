#pragma once

#include "engine/script.hpp"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <span>

// Facts about a script that the compiler can check against the tables it was written from.
namespace engine::facts {

constexpr std::size_t print_steps(Script script) {
  return static_cast<std::size_t>(std::ranges::count_if(
      script, [](const Step& step) { return std::holds_alternative<Print>(step); }));
}

constexpr std::size_t printed_characters(Script script) {
  std::size_t total = 0;
  for (const Step& step : script) {
    if (std::holds_alternative<Print>(step)) {
      total += std::get<Print>(step).line.size();
    }
  }
  return total;
}

constexpr std::chrono::milliseconds total_pause(Script script) {
  std::chrono::milliseconds total{0};
  for (const Step& step : script) {
    if (std::holds_alternative<Pause>(step)) {
      total += std::get<Pause>(step).duration;
    }
  }
  return total;
}

// True when every printed line is in the table and the table lists them once each, in the order
// the script first prints them, with none left unused. Lines are told apart by their text: no
// two lines of a table are alike.
constexpr bool table_in_first_use_order(Script script, std::span<const Line> table) {
  std::size_t next_new = 0;
  for (const Step& step : script) {
    if (!std::holds_alternative<Print>(step)) {
      continue;
    }
    const Line line = std::get<Print>(step).line;
    const auto seen = table.first(next_new);
    if (std::ranges::any_of(seen, [&](Line known) { return known == line; })) {
      continue;
    }
    if (next_new == table.size() || table[next_new] != line) {
      return false;
    }
    ++next_new;
  }
  return next_new == table.size();
}

constexpr bool all_printable(std::span<const Line> table) {
  return std::ranges::all_of(table, [](Line line) {
    return std::ranges::all_of(line, [](char c) { return is_printable_ascii(c); });
  });
}

} // namespace engine::facts
