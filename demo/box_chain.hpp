#pragma once

#include "engine/script.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>

namespace demo {

// A run of art lines ending with the line that separates it from the next box.
class Unit {
public:
  static constexpr std::size_t capacity = 7;

  consteval Unit(std::initializer_list<engine::Line> lines) : size_{lines.size()} {
    if (lines.size() == 0 || lines.size() > capacity) {
      throw "a unit holds one to seven lines";
    }
    std::ranges::copy(lines, lines_.begin());
  }

  constexpr auto begin() const { return lines_.begin(); }
  constexpr auto end() const { return lines_.begin() + static_cast<std::ptrdiff_t>(size_); }
  constexpr std::size_t size() const { return size_; }

private:
  std::array<engine::Line, capacity> lines_{};
  std::size_t size_;
};

struct IrregularUnit {
  int number;
  Unit lines;
};

// The animation as data: units numbered from 1, each the regular unit unless listed among the
// irregular ones, and a last unit of its own.
struct BoxChain {
  Unit regular;
  std::span<const IrregularUnit> irregular; // by ascending unit number
  int units;                                // the last unit included
  Unit last;

  constexpr const Unit& unit(int number) const {
    if (number == units) {
      return last;
    }
    const auto found = std::ranges::find(irregular, number, &IrregularUnit::number);
    return found == irregular.end() ? regular : found->lines;
  }

  constexpr std::size_t line_count() const {
    std::size_t total = 0;
    for (int number = 1; number <= units; ++number) {
      total += unit(number).size();
    }
    return total;
  }

  constexpr bool irregular_units_in_order() const {
    int previous = 0;
    for (const IrregularUnit& entry : irregular) {
      if (entry.number <= previous || entry.number >= units) {
        return false;
      }
      previous = entry.number;
    }
    return true;
  }
};

// The whole performance: the steps before the chain, one Print step per line of the chain, and
// the steps after it.
template <std::size_t Size>
consteval std::array<engine::Step, Size> expand(std::span<const engine::Step> before,
                                                const BoxChain& chain,
                                                std::span<const engine::Step> after) {
  if (before.size() + chain.line_count() + after.size() != Size) {
    throw "the script's size is the sum of its parts";
  }
  std::array<engine::Step, Size> steps{};
  auto out = std::ranges::copy(before, steps.begin()).out;
  for (int number = 1; number <= chain.units; ++number) {
    for (engine::Line line : chain.unit(number)) {
      *out++ = engine::Print{line};
    }
  }
  std::ranges::copy(after, out);
  return steps;
}

} // namespace demo
