#pragma once

#include "engine/line.hpp"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>

namespace engine {

// A short run of lines printed one after another: one box and what separates it from the next.
class Unit {
public:
  static constexpr std::size_t capacity = 7;

  consteval Unit(std::initializer_list<Line> lines) : size_{lines.size()} {
    if (lines.size() == 0 || lines.size() > capacity) {
      throw "a unit holds one to seven lines";
    }
    std::size_t i = 0;
    for (const Line line : lines) {
      lines_[i++] = line;
    }
  }

  constexpr const Line* begin() const { return lines_.data(); }
  constexpr const Line* end() const { return lines_.data() + size_; }
  constexpr std::size_t size() const { return size_; }
  constexpr Line operator[](std::size_t i) const { return lines_[i]; }

  constexpr std::size_t characters() const {
    std::size_t total = 0;
    for (const Line line : *this) {
      total += line.size();
    }
    return total;
  }

private:
  std::array<Line, capacity> lines_{};
  std::size_t size_;
};

struct NumberedUnit {
  int number;
  Unit lines;
};

// A long run of units, numbered from 1, stored as the pattern it follows: each unit is the
// regular one unless it is listed among the irregular ones, and the last has lines of its own.
// Its lines are Print steps, taken from here as they are played, so that thousands of them cost
// a few hundred bytes.
struct Units {
  Unit regular;
  std::span<const NumberedUnit> irregular; // by ascending number, each below `count`
  int count;                               // the number of the last unit
  Unit last;

  constexpr bool irregular_in_order() const {
    int previous = 0;
    for (const NumberedUnit& entry : irregular) {
      if (entry.number <= previous || entry.number >= count) {
        return false;
      }
      previous = entry.number;
    }
    return true;
  }

  constexpr std::size_t regular_count() const {
    return static_cast<std::size_t>(count - 1) - irregular.size();
  }

  constexpr std::size_t line_count() const {
    std::size_t total = regular_count() * regular.size() + last.size();
    for (const NumberedUnit& entry : irregular) {
      total += entry.lines.size();
    }
    return total;
  }

  constexpr std::size_t characters() const {
    std::size_t total = regular_count() * regular.characters() + last.characters();
    for (const NumberedUnit& entry : irregular) {
      total += entry.lines.characters();
    }
    return total;
  }

  // Calls `visit` with each different unit once, in the order they are first played: a few
  // dozen calls where playing them all would take thousands.
  template <class Visit> constexpr void for_each_first_use(Visit visit) const {
    bool regular_seen = false;
    int next = 1;
    for (const NumberedUnit& entry : irregular) {
      if (next < entry.number && !regular_seen) {
        visit(regular);
        regular_seen = true;
      }
      visit(entry.lines);
      next = entry.number + 1;
    }
    if (next < count && !regular_seen) {
      visit(regular);
    }
    visit(last);
  }
};

} // namespace engine
