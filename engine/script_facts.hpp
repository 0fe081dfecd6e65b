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
      script, [](const Step &step) { return std::holds_alternative<Print>(step); }));
}

constexpr std::size_t printed_characters(Script script) {
  std::size_t total = 0;
  for (const Step &step : script) {
    if (const auto *print = std::get_if<Print>(&step)) {
      total += print->line.size();
    }
  }
  return total;
}

constexpr std::chrono::milliseconds total_pause(Script script) {
  std::chrono::milliseconds total{0};
  for (const Step &step : script) {
    if (const auto *pause = std::get_if<Pause>(&step)) {
      total += pause->duration;
    }
  }
  return total;
}

constexpr bool same_line(Line a, Line b) {
  return a.data() == b.data() && a.size() == b.size();
}

// True when every printed line comes from the table and the table lists them in the order the
// script first prints them, with none left unused.
constexpr bool table_in_first_use_order(Script script, std::span<const Line> table) {
  std::size_t next_new = 0;
  for (const Step &step : script) {
    const auto *print = std::get_if<Print>(&step);
    if (print == nullptr) {
      continue;
    }
    const auto seen = table.first(next_new);
    if (std::ranges::any_of(seen, [&](Line known) { return same_line(known, print->line); })) {
      continue;
    }
    if (next_new == table.size() || !same_line(table[next_new], print->line)) {
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
