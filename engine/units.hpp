// Box units, and a chain of them stored as its pattern.
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

private:
  std::array<Line, capacity> lines_{};
  std::size_t size_;
};

struct NumberedUnit {
  int number;
  Unit lines;
};

// A long chain of units, numbered from 1, stored as the pattern it follows: each unit is the
// regular one unless it is listed among the irregular ones, and the last has lines of its own.
// Its lines are Print steps, taken from here as they are played, so that thousands of them cost
// a few hundred bytes.
struct Units {
  Unit regular;
  std::span<const NumberedUnit> irregular; // by ascending number, each below `count`
  int count;                               // the number of the last unit
  Unit last;

  // Calls `visit` with each run of alike units in the order they are played, and how many
  // units the run holds: a run of regular units or one irregular unit, and at the end the last.
  // Stops when `visit` returns false, and returns false then. A few hundred calls, where playing
  // the units one by one would take thousands. The compiler refuses, through the script's facts,
  // irregular units that are not listed in ascending order.
  template <class Visit> constexpr bool for_each_run(Visit visit) const {
    int next = 1; // the first unit not yet visited
    for (const NumberedUnit& entry : irregular) {
      if (entry.number < next || entry.number >= count) {
        throw "irregular units come by ascending number, each below the last unit's";
      }
      if ((entry.number > next && !visit(regular, entry.number - next)) || !visit(entry.lines, 1)) {
        return false;
      }
      next = entry.number + 1;
    }
    return (count == next || visit(regular, count - next)) && visit(last, 1);
  }
};

} // namespace engine
