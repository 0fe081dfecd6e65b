#include "digest.hpp"
#include "recording.hpp"

#include "demo/script.hpp"
#include "demo_short/script.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>
#include <string>
#include <string_view>
#include <vector>

using namespace std::chrono_literals;

namespace {

std::vector<std::chrono::milliseconds> pause_durations(const Recording& recording) {
  std::vector<std::chrono::milliseconds> durations;
  for (const auto& pause : recording.pauses) {
    durations.push_back(pause.duration);
  }
  return durations;
}

std::string_view after_counter(const std::string& output) {
  return std::string_view{output}.substr(output.rfind('\n') + 1);
}

TEST(ShortDemoScript, WritesTheWholePerformanceExactly) {
  const auto recording = Recording::of(demo_short::script);

  ASSERT_TRUE(recording.played);
  EXPECT_EQ(recording.output.size(), demo_short_output.bytes);
  EXPECT_EQ(fnv1a(recording.output), demo_short_output.digest);
  EXPECT_TRUE(recording.output.starts_with("0\n1\n2\n"));
  EXPECT_EQ(after_counter(recording.output).size(), 1053U);
  EXPECT_TRUE(std::string_view{recording.output}
                  .substr(0, recording.output.size() - 1053)
                  .ends_with("\n199999\n"));
}

TEST(ShortDemoScript, PausesAfterEachMessageAndAtTheEnd) {
  const auto recording = Recording::of(demo_short::script);
  const std::size_t counter = demo_short_output.bytes - 13 * 81;

  const std::vector<Recording::PauseAt> expected{
      {counter, 2000ms},          {counter + 81, 2000ms},     {counter + 2 * 81, 2000ms},
      {counter + 3 * 81, 1000ms}, {counter + 13 * 81, 500ms},
  };
  EXPECT_EQ(recording.pauses, expected);
  EXPECT_EQ(engine::facts::totals(demo_short::script).print_steps, 13U);
}

// The main demo's lines in first-use order: key, width and how often the performance prints it.
struct TableRow {
  std::string_view key;
  std::size_t width;
  int times_printed;
};
constexpr TableRow main_table[] = {
    {"B81", 81, 1487}, {"Message 1", 81, 1}, {"Message 2", 81, 1}, {"Message 3", 81, 1},
    {"B84", 84, 2},    {"E81", 81, 2962},    {"S81", 81, 2957},    {"S84", 84, 5},
    {"B100", 100, 1},  {"E108", 108, 1},     {"S93", 93, 1},       {"E92", 92, 2},
    {"E84", 84, 3},    {"E94", 94, 1},       {"B89", 89, 1},       {"B50", 50, 1},
    {"E91", 91, 1},    {"E87", 87, 1},       {"E88", 88, 1},       {"B82", 82, 1},
    {"E83", 83, 2},    {"E82", 82, 2},       {"B87", 87, 1},       {"S94", 94, 1},
    {"S82", 82, 6},    {"B86", 86, 3},       {"B78", 78, 1},       {"B92", 92, 1},
    {"B76", 76, 1},    {"S83", 83, 1},       {"E90", 90, 2},       {"S85", 85, 3},
    {"B72", 72, 1},    {"S89", 89, 2},       {"E93", 93, 1},       {"E86", 86, 2},
    {"E85", 85, 4},    {"B85", 85, 1},       {"B74", 74, 1},       {"S87", 87, 1},
    {"B83", 83, 2},    {"S86", 86, 2},       {"S90", 90, 1},       {"S92", 92, 1},
    {"S70", 70, 1},    {"S101", 101, 1},     {"B96", 96, 1},       {"E95", 95, 1},
    {"B71", 71, 1},    {"E70", 70, 1},       {"E67", 67, 1},       {"S68", 68, 1},
    {"Banner", 74, 1},
};

std::string_view glyph_of(std::string_view key) {
  if (key == "Message 1")
    return "Dette er min 1ste demo, og den varer kun i kort tid...";
  if (key == "Message 2")
    return "Til naeste QAV stiller jeg op med noget serioes kode.";
  if (key == "Message 3")
    return "Fortsat godt party til alle...";
  if (key == "Banner")
    return "   QAV FOREVER!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!";
  return key.front() == 'E' ? engine::edge : key.front() == 'S' ? engine::side : engine::blank;
}

TEST(MainDemoLines, EachIsItsGlyphPaddedToItsWidthAndPrintedAsOftenAsTheTableSays) {
  ASSERT_EQ(demo::lines::table.size(), std::size(main_table));
  const auto printed = Recording::of(demo::script).printed;

  for (std::size_t i = 0; i < std::size(main_table); ++i) {
    const TableRow& row = main_table[i];
    const engine::Line line = demo::lines::table[i];
    SCOPED_TRACE(row.key);
    EXPECT_EQ(line.size(), row.width);
    const std::string_view glyph = glyph_of(row.key);
    EXPECT_TRUE(line.starts_with(glyph));
    EXPECT_EQ(line.find_first_not_of(' ', glyph.size()), engine::Line::npos);
    EXPECT_EQ(std::ranges::count_if(printed, [&](engine::Line p) { return p == line; }),
              row.times_printed);
  }
}

TEST(MainDemoScript, WritesTheWholePerformanceExactly) {
  const auto recording = Recording::of(demo::script);

  ASSERT_TRUE(recording.played);
  EXPECT_EQ(recording.output.size(), demo_output.bytes);
  EXPECT_EQ(fnv1a(recording.output), demo_output.digest);
  const std::string counter_end_then_message = "4998\n4999\n" + std::string(81 * 3, ' ') + "Dette";
  EXPECT_NE(recording.output.find(counter_end_then_message), std::string::npos);
  EXPECT_EQ(after_counter(recording.output).size(), 606'393U);
  EXPECT_TRUE(recording.output.ends_with("!!!!!" + std::string(20, ' ')));
}

TEST(MainDemoScript, PausesInOrderAndNoneInsideTheArt) {
  const auto recording = Recording::of(demo::script);
  const std::vector<std::chrono::milliseconds> expected{8000ms, 2000ms, 2000ms,
                                                        2000ms, 1000ms, 3500ms};
  EXPECT_EQ(pause_durations(recording), expected);
  EXPECT_EQ(recording.pauses.front().after_bytes, 0U);
  EXPECT_EQ(recording.pauses.back().after_bytes, recording.output.size());
  // Everything between the last message's pause and the closing one is the art phase.
  const auto art = recording.pauses.back().after_bytes - recording.pauses[4].after_bytes;
  EXPECT_EQ(art, 605'421U);
}

TEST(MainDemoScript, FramesTheMessagesWithThreeBlanksAndEndsWithTheBanner) {
  using namespace demo::lines;
  const auto printed = Recording::of(demo::script).printed;
  ASSERT_EQ(printed.size(), 7483U);

  const std::vector<engine::Line> messages(printed.begin(), printed.begin() + 12);
  const std::vector<engine::Line> expected{B81, B81, B81,      Message1, Message2, B81,
                                           B81, B81, Message3, B81,      B81,      B81};
  EXPECT_TRUE(messages == expected);
  EXPECT_TRUE(printed[12] == B84);
  EXPECT_TRUE(printed.back() == Banner);
  EXPECT_EQ(printed.size() - 12, 7471U);
}

} // namespace
