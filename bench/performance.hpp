#pragma once

#include "demo/script.hpp"
#include "demo_short/script.hpp"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Which lines of a performance: all, the counter's, or the art phase's, which is the run of
// printed lines that ends the script before its closing pause.
enum class Phase { whole, counter, art };

// A demo's output laid out in one buffer, with where each of its lines ends: a counter line with
// its newline, or a printed line.
struct Performance {
  std::string bytes;
  std::vector<std::size_t> line_ends;

  static engine::Script script_of(std::string_view program) {
    if (program == "demo") {
      return demo::script;
    }
    if (program == "demo_short") {
      return demo_short::script;
    }
    throw std::invalid_argument("no such demo: " + std::string{program});
  }

  static Performance of(std::string_view program, Phase phase = Phase::whole) {
    const engine::Script script = script_of(program);
    std::vector<engine::Step> steps;
    for (const engine::Step step : script) {
      steps.push_back(step);
    }
    const auto is_print = [](const engine::Step& step) {
      return std::holds_alternative<engine::Print>(step);
    };
    const auto art_end = std::find_if(steps.rbegin(), steps.rend(), is_print).base();
    const auto art =
        std::find_if_not(std::make_reverse_iterator(art_end), steps.rend(), is_print).base();

    Performance performance;
    for (auto step = steps.begin(); step != steps.end(); ++step) {
      const bool in_art = step >= art && step < art_end;
      const auto* count = std::get_if<engine::Count>(&*step);
      if (count != nullptr && phase != Phase::art) {
        performance.add_counter(count->n);
      }
      const auto* print = std::get_if<engine::Print>(&*step);
      if (print != nullptr && (phase == Phase::whole || (phase == Phase::art && in_art))) {
        performance.add_line(print->line);
      }
    }
    return performance;
  }

private:
  void add_counter(int n) {
    for (int i = 0; i < n; ++i) {
      char digits[16];
      const auto end = std::to_chars(digits, digits + sizeof digits, i).ptr;
      bytes.append(digits, end);
      bytes.push_back('\n');
      line_ends.push_back(bytes.size());
    }
  }

  void add_line(std::string_view line) {
    bytes.append(line);
    line_ends.push_back(bytes.size());
  }
};
