#include "recording.hpp"

#include "engine/script.hpp"
#include "engine/script_facts.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace std::chrono_literals;
using engine::Count;
using engine::Line;
using engine::PaddedLine;
using engine::Pause;
using engine::Print;
using engine::Step;

namespace {

constexpr PaddedLine<12> wide_edge{engine::edge};
constexpr PaddedLine<9> wide_side{engine::side};
constexpr PaddedLine<3> narrow_blank{engine::blank};

TEST(PaddedLine, HoldsTheGlyphThenSpacesUpToItsWidth) {
  EXPECT_EQ(Line{wide_edge}, "#######     ");
  EXPECT_EQ(Line{wide_side}, "#     #  ");
  EXPECT_EQ(Line{narrow_blank}, "   ");
}

TEST(Player, WritesEveryStepInOrderWithThePausesBetween) {
  constexpr Step script[] = {
      Pause{800ms},     Count{3},    Pause{20ms}, Print{wide_edge},
      Print{wide_side}, Pause{10ms}, Count{1},    Print{narrow_blank},
  };
  const auto recording = Recording::of(script);

  EXPECT_TRUE(recording.played);
  EXPECT_EQ(recording.output, "0\n1\n2\n#######     #     #  0\n   ");
  const std::vector<Recording::PauseAt> expected{{0, 800ms}, {6, 20ms}, {27, 10ms}};
  EXPECT_EQ(recording.pauses, expected);
}

TEST(Player, CountsInShortestDecimalFromZero) {
  EXPECT_EQ(Recording::of(std::array<Step, 1>{Count{0}}).output, "");
  EXPECT_EQ(Recording::of(std::array<Step, 1>{Count{1}}).output, "0\n");

  const std::string to_4999 = Recording::of(std::array<Step, 1>{Count{5000}}).output;
  EXPECT_TRUE(to_4999.ends_with("\n4998\n4999\n"));
  EXPECT_EQ(to_4999.substr(0, 25), "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11");

  const std::string to_199999 = Recording::of(std::array<Step, 1>{Count{200'000}}).output;
  EXPECT_TRUE(to_199999.ends_with("\n199998\n199999\n"));
  // Ten one-digit numbers, 90 of two digits and so on, each with its newline.
  EXPECT_EQ(to_199999.size(), 10 * 2 + 90 * 3 + 900 * 4 + 9000 * 5 + 90000 * 6 + 100000 * 7);
}

TEST(Player, StopsAtTheFirstFailedWriteWithNoMorePauses) {
  constexpr Step script[] = {Print{wide_side}, Pause{1000ms}, Print{wide_edge},
                             Pause{2000ms},    Count{10},     Pause{3000ms}};

  const auto recording = Recording::of(script, 12);

  EXPECT_FALSE(recording.played);
  EXPECT_EQ(recording.output, "#     #  ###");
  const std::vector<Recording::PauseAt> expected{{9, 1000ms}};
  EXPECT_EQ(recording.pauses, expected);
}

TEST(Player, StopsCountingWhenTheCounterCannotBeWritten) {
  constexpr Step script[] = {Count{100'000}, Pause{2000ms}};

  const auto recording = Recording::of(script, 7);

  EXPECT_FALSE(recording.played);
  EXPECT_EQ(recording.output, "0\n1\n2\n3");
  EXPECT_TRUE(recording.pauses.empty());
}

TEST(ScriptFacts, TableMustListEveryPrintedLineInFirstUseOrder) {
  constexpr Step script[] = {Print{wide_side}, Count{2}, Print{wide_edge}, Print{wide_side}};
  constexpr std::array<Line, 2> in_order{wide_side, wide_edge};
  constexpr std::array<Line, 2> swapped{wide_edge, wide_side};
  constexpr std::array<Line, 1> missing_one{wide_side};
  constexpr std::array<Line, 3> one_unused{wide_side, wide_edge, narrow_blank};

  static_assert(engine::facts::table_in_first_use_order(script, in_order));
  static_assert(!engine::facts::table_in_first_use_order(script, swapped));
  static_assert(!engine::facts::table_in_first_use_order(script, missing_one));
  static_assert(!engine::facts::table_in_first_use_order(script, one_unused));
  constexpr std::array<Line, 3> listed_twice{wide_side, wide_edge, wide_side};
  static_assert(!engine::facts::table_in_first_use_order(script, listed_twice));
}

} // namespace
