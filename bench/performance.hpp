// A demo's whole output laid out in memory, line by line, as the bare writer and the benchmark
// write it.
#pragma once

#include "catalog/demos.hpp"
#include "engine/script.hpp"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
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
    if (const auto script = catalog::script_named(program)) {
      return *script;
    }
    throw std::invalid_argument("no such demo: " + std::string{program});
  }

  static Performance of(std::string_view program, Phase phase = Phase::whole);

  void add(std::string_view line) {
    bytes.append(line);
    line_ends.push_back(bytes.size());
  }
};

// Every line as the player gives it, with whether it is a counter line and how many pauses came
// before it.
struct Collector final : engine::Stage {
  Performance performance;
  std::vector<bool> is_counter;
  std::vector<int> parts;
  int pauses = 0;

  bool print(engine::Line line) override {
    performance.add(line);
    is_counter.push_back(false);
    parts.push_back(pauses);
    return true;
  }
  bool counter(int, std::string_view digits) override {
    performance.bytes.append(digits);
    performance.add("\n");
    is_counter.push_back(true);
    parts.push_back(pauses);
    return true;
  }
  void pause(std::chrono::milliseconds) override { ++pauses; }
};

inline Performance Performance::of(std::string_view program, Phase phase) {
  Collector all;
  if (!engine::play(script_of(program), all)) {
    throw std::logic_error("a performance collected in memory cannot fail");
  }
  if (phase == Phase::whole) {
    return std::move(all.performance);
  }
  // The art phase: the printed lines after the last pause before the last printed line.
  int art_part = -1;
  for (std::size_t i = 0; i < all.parts.size(); ++i) {
    art_part = all.is_counter[i] ? art_part : all.parts[i];
  }
  Performance performance;
  std::size_t start = 0;
  for (std::size_t i = 0; i < all.parts.size(); ++i) {
    const std::size_t end = all.performance.line_ends[i];
    if (phase == Phase::counter ? all.is_counter[i]
                                : !all.is_counter[i] && all.parts[i] == art_part) {
      performance.add(std::string_view{all.performance.bytes}.substr(start, end - start));
    }
    start = end;
  }
  return performance;
}
