// The real programs in tmux, 80 by 25: every row against the model's picture, and each message on
// the screen during its pause.

#include "console/console_model.hpp"
#include "demo_scripts.hpp"
#include "needs.hpp"
#include "tmux_session.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The picture an 80-column console that wraps makes of a script's bytes.
std::vector<std::string> model_picture(engine::Script script) {
  ConsoleModel console;
  EXPECT_TRUE(console.play(script));
  auto rows = console.picture();
  while (!rows.empty() && rows.back().empty()) {
    rows.pop_back();
  }
  return rows;
}

constexpr std::string_view message_1 = "Dette er min 1ste demo";
constexpr std::string_view message_2 = "Til naeste QAV";
constexpr std::string_view message_3 = "Fortsat godt party";
constexpr std::string_view box_edge = "#######";

class RealTerminal : public testing::Test {
protected:
  void SetUp() override { needs(TmuxSession::available() ? "" : "tmux (Debian package tmux)"); }

  // Once the program has ended, compares the terminal's every row with the model's.
  static std::vector<std::string> history_of(const TmuxSession& session, engine::Script script) {
    EXPECT_EQ(session.wait(120s), 0);
    const auto terminal = session.history();
    const auto model = model_picture(script);

    EXPECT_EQ(terminal.size(), model.size());
    const auto [first_difference, _] = std::ranges::mismatch(terminal, model);
    if (first_difference != terminal.end()) {
      const auto row = first_difference - terminal.begin();
      ADD_FAILURE() << "row " << row << " differs:\n terminal: [" << *first_difference
                    << "]\n model:    [" << model[static_cast<std::size_t>(row)] << "]";
    }
    return terminal;
  }

  struct Shown {
    std::string_view text;
    std::chrono::milliseconds pause_after;
  };

  // Watches the screen while the program runs: each text appears while the one after it is not
  // yet there, and stays alone for the pause that follows it.
  static void expect_each_shown_during_its_pause(const TmuxSession& session,
                                                 std::initializer_list<Shown> sequence) {
    std::optional<Clock::time_point> previous_seen;
    std::chrono::milliseconds previous_pause{};
    const auto give_up = Clock::now() + 60s;

    for (auto shown = sequence.begin(); shown != sequence.end(); ++shown) {
      const auto next = std::next(shown);
      std::string screen = session.screen();
      while (screen.find(shown->text) == std::string::npos && Clock::now() < give_up) {
        std::this_thread::sleep_for(20ms);
        screen = session.screen();
      }
      const auto seen = Clock::now();
      ASSERT_NE(screen.find(shown->text), std::string::npos) << shown->text << " never showed";
      if (next != sequence.end()) {
        EXPECT_EQ(screen.find(next->text), std::string::npos)
            << next->text << " showed together with " << shown->text;
      }
      if (previous_seen) {
        EXPECT_GE(seen - *previous_seen, previous_pause - 500ms)
            << shown->text << " came too soon after the text before it";
      }
      previous_seen = seen;
      previous_pause = shown->pause_after;
    }
  }

  // One run of the program: the messages watched as they come, then every row of the history.
  static std::vector<std::string> performed(const std::string& program, engine::Script script) {
    const TmuxSession session{program};
    expect_each_shown_during_its_pause(
        session, {{message_1, 2000ms}, {message_2, 2000ms}, {message_3, 1000ms}, {box_edge, 0ms}});
    return history_of(session, script);
  }
};

std::size_t row_of(const std::vector<std::string>& rows, std::string_view text) {
  const auto found = std::ranges::find_if(
      rows, [&](const std::string& row) { return row.find(text) != std::string::npos; });
  return static_cast<std::size_t>(found - rows.begin());
}

TEST_F(RealTerminal, ShortDemoShowsEachMessageDuringItsPauseAndDrawsTheModelsPicture) {
  const auto rows = performed(DEMO_SHORT_PROGRAM, scripts::demo_short);
  ASSERT_EQ(rows.size(), 200'013U);

  const std::size_t message = row_of(rows, message_1);
  EXPECT_EQ(message, 200'000U);
  EXPECT_TRUE(rows[message].starts_with(message_1));
  EXPECT_TRUE(rows[message + 1].starts_with(" " + std::string{message_2}));
  EXPECT_TRUE(rows[message + 2].starts_with("  " + std::string{message_3}));
  EXPECT_EQ(rows[message + 4], "    #######");
  EXPECT_EQ(rows[message + 12], std::string(12, ' ') + "#######");
}

TEST_F(RealTerminal, MainDemoShowsEachMessageDuringItsPauseAndDrawsTheModelsPicture) {
  const auto rows = performed(DEMO_PROGRAM, scripts::demo);
  ASSERT_EQ(rows.size(), 12'580U);

  const std::size_t message = row_of(rows, message_1);
  EXPECT_EQ(message, 5003U);
  EXPECT_TRUE(rows[message].starts_with("   " + std::string{message_1}));
  EXPECT_TRUE(rows[message + 1].starts_with("    " + std::string{message_2}));
  EXPECT_TRUE(rows[message + 5].starts_with("        " + std::string{message_3}));
  EXPECT_EQ(rows[message + 10], std::string(16, ' ') + "#######");
  EXPECT_EQ(rows.back(), "  QAV FOREVER" + std::string(40, '!'));
}

} // namespace
