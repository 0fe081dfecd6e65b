// A demo's performance as compact data for the page: its distinct lines, and its steps with the
// prints folded into runs of a repeated pattern.
#pragma once

#include "engine/script.hpp"
#include "engine/stage.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace exporter {

// A run of prints: the lines of `pattern` (indices into the line table), `times` over.
struct PrintRun {
  std::vector<std::size_t> pattern;
  int times = 1;
  bool operator==(const PrintRun&) const = default;
};

// The prints as few runs: at each place the repeated pattern of one to seven lines that covers
// the most lines, and lines that repeat nothing gathered into one run of their own. A chain of
// 1,498 boxes with 66 odd ones comes out as about two hundred runs.
std::vector<PrintRun> fold(const std::vector<std::size_t>& prints);

// The stage the exporter plays a script onto: it keeps each distinct line once, counts the
// counter's numbers, and notes pauses where they fall among the prints.
class PerformanceExport final : public engine::Stage {
public:
  bool print(engine::Line line) override;
  bool counter(int n, std::string_view digits) override;
  void pause(std::chrono::milliseconds duration) override;

  // The performance as JSON: {"lines": [[GLYPH, WIDTH], ...], "steps": [["pause", MS],
  // ["count", N], ["print", [LINE, ...], TIMES], ...]}, each line's glyph its text without the
  // spaces that pad it.
  std::string json();

private:
  void end_prints();

  std::vector<engine::Line> lines_;
  std::vector<std::size_t> prints_; // since the last step that was not a print
  std::string steps_;
};

} // namespace exporter
