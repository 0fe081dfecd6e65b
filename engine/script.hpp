#pragma once

#include "engine/line.hpp"
#include "engine/units.hpp"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <iterator>
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

// An ordered, constant list of steps: the steps before a run of units, one Print step for each
// line of the units, and the steps after them. A script without units is its steps alone. The
// units are expanded as the script is played, so that a long chain of them is stored as its
// pattern, not as thousands of steps.
class Script {
public:
  constexpr Script(std::span<const Step> steps) : before_{steps} {}
  template <std::size_t N> constexpr Script(const Step (&steps)[N]) : before_{steps} {}
  template <std::size_t N> constexpr Script(const std::array<Step, N>& steps) : before_{steps} {}
  constexpr Script(std::span<const Step> before, const Units& units, std::span<const Step> after)
      : before_{before}, units_{&units}, has_units_{true}, after_{after} {}

  constexpr std::span<const Step> before() const { return before_; }
  // Whether the units are there is a flag of its own: under UBSan, GCC 12 will not compare the
  // address of a constant with null in a constant expression.
  constexpr bool has_units() const { return has_units_; }
  constexpr const Units& units() const { return *units_; }
  constexpr std::span<const Step> after() const { return after_; }

  // Walks the expanded steps in order, each made as it is reached.
  class Iterator {
  public:
    using value_type = Step;
    using difference_type = std::ptrdiff_t;

    constexpr Iterator() = default;
    constexpr explicit Iterator(const Script& script) : script_{&script} { settle(); }

    constexpr Step operator*() const {
      return part_ == Part::units ? Step{Print{(*unit_)[index_]}} : steps()[index_];
    }
    constexpr Iterator& operator++() {
      ++index_;
      settle();
      return *this;
    }
    constexpr void operator++(int) { ++*this; }
    constexpr bool operator==(std::default_sentinel_t) const { return part_ == Part::done; }

  private:
    enum class Part { before, units, after, done };

    // The steps before the units, or after them.
    constexpr std::span<const Step> steps() const {
      return part_ == Part::before ? script_->before_ : script_->after_;
    }

    // Moves past whatever is used up, to the next step there is.
    constexpr void settle() {
      for (;;) {
        switch (part_) {
        case Part::before:
        case Part::after:
          if (index_ < steps().size()) {
            return;
          }
          part_ = part_ == Part::before ? Part::units : Part::done;
          break;
        case Part::units:
          if (unit_ != nullptr && index_ < unit_->size()) {
            return;
          }
          if (!script_->has_units_ || number_ == script_->units_->count) {
            part_ = Part::after;
          } else {
            unit_ = &next_unit();
          }
          break;
        case Part::done:
          return;
        }
        index_ = 0;
      }
    }

    // The irregular units come in ascending order, so the next one is always the one to look at.
    constexpr const Unit& next_unit() {
      const Units& units = *script_->units_;
      ++number_;
      if (number_ == units.count) {
        return units.last;
      }
      if (irregular_ < units.irregular.size() && units.irregular[irregular_].number == number_) {
        return units.irregular[irregular_++].lines;
      }
      return units.regular;
    }

    const Script* script_ = nullptr;
    Part part_ = Part::before;
    std::size_t index_ = 0;      // within the part's steps, or the unit's lines
    const Unit* unit_ = nullptr; // the unit being played
    int number_ = 0;             // its number
    std::size_t irregular_ = 0;  // the next irregular unit to come
  };

  constexpr Iterator begin() const { return Iterator{*this}; }
  constexpr std::default_sentinel_t end() const { return {}; }

private:
  std::span<const Step> before_;
  const Units* units_ = nullptr;
  bool has_units_ = false;
  std::span<const Step> after_;
};

using Sleep = std::function<void(std::chrono::milliseconds)>;

// Plays the steps in order. When the output fails, stops at once, with no more output and no
// more pauses, and returns false: nobody is watching a performance that cannot be written.
[[nodiscard]] bool play(const Script& script, std::ostream& out, const Sleep& sleep);

} // namespace engine
