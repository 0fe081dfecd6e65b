#pragma once

#include "demo/script.hpp"
#include "demo_short/script.hpp"

#include <algorithm>
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
    Collector collector;
    const bool played = engine::play(script_of(program), collector);
    if (!played) {
      throw std::logic_error("a performance collected in memory cannot fail");
    }
    // The art phase: the printed lines after the last pause before the last printed line.
    const auto last_print = std::find_if(collector.lines.rbegin(), collector.lines.rend(),
                                         [](const Collected& line) { return !line.counter; });
    const int art_part = last_print == collector.lines.rend() ? -1 : last_print->part;

    Performance performance;
    for (const Collected& line : collector.lines) {
      const bool wanted = phase == Phase::whole || (phase == Phase::counter && line.counter) ||
                          (phase == Phase::art && !line.counter && line.part == art_part);
      if (wanted) {
        performance.bytes.append(line.text);
        performance.line_ends.push_back(performance.bytes.size());
      }
    }
    return performance;
  }

private:
  // One line as the player gave it: a counter line with its newline, or a printed line, and how
  // many pauses came before it.
  struct Collected {
    std::string text;
    bool counter;
    int part;
  };

  struct Collector final : engine::Stage {
    std::vector<Collected> lines;
    int pauses = 0;

    bool print(engine::Line line) override {
      lines.push_back({std::string{line}, false, pauses});
      return true;
    }
    bool counter(int, std::string_view digits) override {
      lines.push_back({std::string{digits} + '\n', true, pauses});
      return true;
    }
    void pause(std::chrono::milliseconds) override { ++pauses; }
  };
};
