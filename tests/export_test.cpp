// The exporter's folding of prints into runs: nothing lost or reordered, and few runs.

#include "exporter/performance_export.hpp"
#include "recording.hpp"

#include "catalog/demos.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

using exporter::fold;
using exporter::PrintRun;

std::vector<std::size_t> unfolded(const std::vector<PrintRun>& runs) {
  std::vector<std::size_t> prints;
  for (const PrintRun& run : runs) {
    for (int i = 0; i < run.times; ++i) {
      prints.insert(prints.end(), run.pattern.begin(), run.pattern.end());
    }
  }
  return prints;
}

TEST(Export, FoldsTheLongestRepeatAndGathersTheRest) {
  EXPECT_EQ(fold({}), std::vector<PrintRun>{});
  EXPECT_EQ(fold({1, 2, 1, 2, 1, 2, 3, 4}), (std::vector<PrintRun>{{{1, 2}, 3}, {{3, 4}, 1}}));
  // Seven lines is the longest pattern: a unit's most.
  const std::vector<std::size_t> eight{0, 1, 2, 3, 4, 5, 6, 7};
  std::vector<std::size_t> twice = eight;
  twice.insert(twice.end(), eight.begin(), eight.end());
  EXPECT_EQ(unfolded(fold(twice)), twice);
}

// Each demo's prints, as indices into its distinct lines, folded and unfolded again: the same,
// in a couple of hundred runs where the main demo prints 7,483 lines.
TEST(Export, KeepsEveryDemosPrintsInFewRuns) {
  for (const catalog::Demo& demo : catalog::demos()) {
    SCOPED_TRACE(demo.name);
    const Recording recording = Recording::of(demo.script);
    std::vector<engine::Line> lines;
    std::vector<std::size_t> prints;
    for (const engine::Line line : recording.printed) {
      auto found = std::find(lines.begin(), lines.end(), line);
      if (found == lines.end()) {
        found = lines.insert(lines.end(), line);
      }
      prints.push_back(static_cast<std::size_t>(found - lines.begin()));
    }
    const std::vector<PrintRun> runs = fold(prints);
    EXPECT_EQ(unfolded(runs), prints);
    EXPECT_LE(runs.size(), 300U);
  }
}

} // namespace
