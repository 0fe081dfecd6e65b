// The export stage: lines kept once, prints folded into runs, the performance written as JSON.

#include "exporter/performance_export.hpp"

#include <algorithm>

namespace exporter {
namespace {

constexpr std::size_t longest_pattern = engine::Unit::capacity;

// How many times the `length` lines from `at` follow one another from there.
std::size_t repeats(const std::vector<std::size_t>& prints, std::size_t at, std::size_t length) {
  std::size_t times = 1;
  while (at + (times + 1) * length <= prints.size() &&
         std::equal(prints.begin() + static_cast<long>(at),
                    prints.begin() + static_cast<long>(at + length),
                    prints.begin() + static_cast<long>(at + times * length))) {
    ++times;
  }
  return times;
}

// JSON string contents: the lines are printable ASCII, so only quotes and backslashes need it.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
    }
    out += c;
  }
  return out + '"';
}

} // namespace

std::vector<PrintRun> fold(const std::vector<std::size_t>& prints) {
  std::vector<PrintRun> runs;
  bool gathering = false; // the last run gathers lines that repeat nothing
  for (std::size_t at = 0; at < prints.size();) {
    std::size_t best_length = 1;
    std::size_t best_times = 1;
    for (std::size_t length = 1; length <= longest_pattern; ++length) {
      const std::size_t times = repeats(prints, at, length);
      if (times > 1 && length * times > best_length * best_times) {
        best_length = length;
        best_times = times;
      }
    }
    if (best_times == 1) {
      if (!gathering) {
        runs.push_back({});
        gathering = true;
      }
      runs.back().pattern.push_back(prints[at]);
      ++at;
      continue;
    }
    runs.push_back({{prints.begin() + static_cast<long>(at),
                     prints.begin() + static_cast<long>(at + best_length)},
                    static_cast<int>(best_times)});
    gathering = false;
    at += best_length * best_times;
  }
  return runs;
}

bool PerformanceExport::print(engine::Line line) {
  auto found = std::find(lines_.begin(), lines_.end(), line);
  if (found == lines_.end()) {
    found = lines_.insert(lines_.end(), line);
  }
  prints_.push_back(static_cast<std::size_t>(found - lines_.begin()));
  return true;
}

bool PerformanceExport::counter(int n, std::string_view) {
  end_prints();
  if (n == 0) {
    steps_ += R"(["count", )";
  } else {
    // This number continues the counter under way: take back its count and its closing bracket.
    steps_.erase(steps_.rfind(' ') + 1);
  }
  steps_ += std::to_string(n + 1) + "],";
  return true;
}

void PerformanceExport::pause(std::chrono::milliseconds duration) {
  end_prints();
  steps_ += R"(["pause", )" + std::to_string(duration.count()) + "],";
}

void PerformanceExport::end_prints() {
  for (const PrintRun& run : fold(prints_)) {
    steps_ += R"(["print", [)";
    for (std::size_t i = 0; i < run.pattern.size(); ++i) {
      steps_ += (i == 0 ? "" : ",") + std::to_string(run.pattern[i]);
    }
    steps_ += "], " + std::to_string(run.times) + "],";
  }
  prints_.clear();
}

std::string PerformanceExport::json() {
  end_prints();
  std::string out = R"({"lines": [)";
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const engine::Line line = lines_[i];
    const std::size_t glyph = line.find_last_not_of(' ') + 1; // 0 for a blank
    out += (i == 0 ? "" : ",") + std::string{"["} + quoted(line.substr(0, glyph)) + "," +
           std::to_string(line.size()) + "]";
  }
  std::string steps = steps_;
  if (!steps.empty()) {
    steps.pop_back(); // the comma after the last step
  }
  return out + R"(], "steps": [)" + steps + "]}\n";
}

} // namespace exporter
