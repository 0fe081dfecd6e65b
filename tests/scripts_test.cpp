// Both demos' scripts played in memory: their bytes, their pauses and the order of their lines.

#include "digest.hpp"
#include "readme_figures.hpp"
#include "recording.hpp"

#include "demo/script.hpp"
#include "demo_short/script.hpp"
#include "engine/script_facts.hpp"

#include <gtest/gtest.h>

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

// The README gives each demo's duration as the sum of its pauses.
TEST(Scripts, ReadmeGivesEachDemosPausesInAll) {
  const auto seconds = [](const engine::Script& script) {
    return std::chrono::duration<double>{engine::facts::totals(script).pause}.count();
  };
  EXPECT_DOUBLE_EQ(readme_figure("`demo`, the main demo:", "seconds"), seconds(demo::script));
  EXPECT_DOUBLE_EQ(readme_figure("`demo_short`: a counter", "seconds"),
                   seconds(demo_short::script));
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
