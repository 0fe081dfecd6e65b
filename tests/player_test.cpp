// The player and the programs' stage: every step in order, the counter's digits, stopping at the
// first failed write.

#include "recording.hpp"

#include "engine/console.hpp"
#include "engine/script.hpp"
#include "engine/script_facts.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <ostream>
#include <streambuf>
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

std::string counted(int n) {
  const Step script[] = {Count{n}};
  return Recording::of(script).output;
}

TEST(Player, CountsInShortestDecimalFromZero) {
  EXPECT_EQ(counted(0), "");
  EXPECT_EQ(counted(1), "0\n");

  const std::string to_4999 = counted(5000);
  EXPECT_TRUE(to_4999.ends_with("\n4998\n4999\n"));
  EXPECT_EQ(to_4999.substr(0, 25), "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11");

  const std::string to_199999 = counted(200'000);
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

// Keeps each write and flush it is given, up to `capacity` bytes; past that a write is short and
// fails with `reason`, as on a full disk.
class Sink : public std::streambuf {
public:
  Sink(std::size_t capacity, int reason) : capacity_{capacity}, reason_{reason} {}

  std::vector<std::string> calls;

protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const std::string_view bytes{s, std::min(static_cast<std::size_t>(n), capacity_)};
    capacity_ -= bytes.size();
    calls.emplace_back(bytes);
    errno = bytes.size() < static_cast<std::size_t>(n) ? reason_ : errno;
    return static_cast<std::streamsize>(bytes.size());
  }
  int_type overflow(int_type c) override {
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }
  int sync() override {
    calls.emplace_back("flush");
    return 0;
  }

private:
  std::size_t capacity_;
  int reason_;
};

void no_sleep(std::chrono::milliseconds) {}

TEST(Console, WritesALineInOneWriteAndACounterNumberAsItsDigitsThenEndl) {
  Sink sink{100, 0};
  std::ostream out{&sink};
  engine::Console console{out, no_sleep};

  EXPECT_TRUE(console.print(wide_edge));
  EXPECT_TRUE(console.counter(4999, "4999"));
  const std::vector<std::string> expected{"#######     ", "flush", "4999", "\n", "flush"};
  EXPECT_EQ(sink.calls, expected);
  EXPECT_EQ(console.error(), 0);
}

TEST(Console, FailsWithTheReasonOfTheFailedWrite) {
  Sink full{5, ENOSPC};
  std::ostream out{&full};
  engine::Console console{out, no_sleep};
  EXPECT_FALSE(console.print(wide_side));
  EXPECT_EQ(console.error(), ENOSPC);
}

// The check that a line table lists the printed lines in first-use order, made by the compiler.
constexpr Step facts_script[] = {Print{wide_side}, Count{2}, Print{wide_edge}, Print{wide_side}};
constexpr std::array<Line, 2> in_order{wide_side, wide_edge};
constexpr std::array<Line, 2> swapped{wide_edge, wide_side};
constexpr std::array<Line, 1> missing_one{wide_side};
constexpr std::array<Line, 3> one_unused{wide_side, wide_edge, narrow_blank};
constexpr std::array<Line, 3> listed_twice{wide_side, wide_edge, wide_side};
static_assert(engine::facts::table_in_first_use_order(facts_script, in_order));
static_assert(!engine::facts::table_in_first_use_order(facts_script, swapped));
static_assert(!engine::facts::table_in_first_use_order(facts_script, missing_one));
static_assert(!engine::facts::table_in_first_use_order(facts_script, one_unused));
static_assert(!engine::facts::table_in_first_use_order(facts_script, listed_twice));

} // namespace
