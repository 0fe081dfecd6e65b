#include "console_model.hpp"
#include "needs.hpp"
#include "tmux_session.hpp"

#include "demo/script.hpp"
#include "demo_short/script.hpp"

#include <gtest/gtest.h>

#include <sstream>
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

class RealTerminal : public testing::Test {
protected:
  void SetUp() override { needs(TmuxSession::available() ? "" : "tmux (Debian package tmux)"); }

  // Runs the program in tmux and compares the terminal's every row with the model's.
  static std::vector<std::string> history_of(const std::string& program, engine::Script script) {
    const TmuxSession session{program};
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
  static void expect_each_shown_during_its_pause(const std::string& program,
                                                 std::initializer_list<Shown> sequence) {
    const TmuxSession session{program};
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
    EXPECT_EQ(session.wait(60s), 0);
  }
};

constexpr std::string_view message_1 = "Dette er min 1ste demo";
constexpr std::string_view message_2 = "Til naeste QAV";
constexpr std::string_view message_3 = "Fortsat godt party";
constexpr std::string_view box_edge = "#######";

std::size_t row_of(const std::vector<std::string>& rows, std::string_view text) {
  const auto found = std::ranges::find_if(
      rows, [&](const std::string& row) { return row.find(text) != std::string::npos; });
  return static_cast<std::size_t>(found - rows.begin());
}

TEST_F(RealTerminal, ShortDemoDrawsTheModelsPictureRowForRow) {
  const auto rows = history_of(DEMO_SHORT_PROGRAM, demo_short::script);
  ASSERT_EQ(rows.size(), 200'013U);

  const std::size_t message = row_of(rows, message_1);
  EXPECT_EQ(message, 200'000U);
  EXPECT_TRUE(rows[message].starts_with(message_1));
  EXPECT_TRUE(rows[message + 1].starts_with(" " + std::string{message_2}));
  EXPECT_TRUE(rows[message + 2].starts_with("  " + std::string{message_3}));
  EXPECT_EQ(rows[message + 4], "    #######");
  EXPECT_EQ(rows[message + 12], std::string(12, ' ') + "#######");
}

TEST_F(RealTerminal, MainDemoDrawsTheModelsPictureRowForRow) {
  const auto rows = history_of(DEMO_PROGRAM, demo::script);
  ASSERT_EQ(rows.size(), 12'580U);

  const std::size_t message = row_of(rows, message_1);
  EXPECT_EQ(message, 5003U);
  EXPECT_TRUE(rows[message].starts_with("   " + std::string{message_1}));
  EXPECT_TRUE(rows[message + 1].starts_with("    " + std::string{message_2}));
  EXPECT_TRUE(rows[message + 5].starts_with("        " + std::string{message_3}));
  EXPECT_EQ(rows[message + 10], std::string(16, ' ') + "#######");
  EXPECT_EQ(rows.back(), "  QAV FOREVER" + std::string(40, '!'));
}

TEST_F(RealTerminal, ShortDemoShowsEachMessageDuringItsPause) {
  expect_each_shown_during_its_pause(
      DEMO_SHORT_PROGRAM,
      {{message_1, 2000ms}, {message_2, 2000ms}, {message_3, 1000ms}, {box_edge, 0ms}});
}

TEST_F(RealTerminal, MainDemoShowsEachMessageDuringItsPause) {
  expect_each_shown_during_its_pause(
      DEMO_PROGRAM,
      {{message_1, 2000ms}, {message_2, 2000ms}, {message_3, 1000ms}, {box_edge, 0ms}});
}

// The launcher, run in the terminal as a person would: it starts a tmux of its own in there.
std::vector<std::string> watch(std::initializer_list<std::string> args) {
  std::vector<std::string> command{"env", "DEMO_BUILD_DIR=" DEMO_BUILD_DIR, WATCH_PROGRAM};
  command.insert(command.end(), args);
  return command;
}

// The last rows of the model's picture, as a screen of that many rows shows them.
std::string last_rows(engine::Script script, std::size_t rows) {
  ConsoleModel console;
  EXPECT_TRUE(console.play(script));
  const auto screen = console.screen();
  std::string picture;
  for (std::size_t row = screen.size() - rows; row < screen.size(); ++row) {
    picture += screen[row] + "\n";
  }
  return picture;
}

// The view's window in the terminal: its first 80 columns of the first rows given, each row with
// its spaces at the end left off.
std::string window_of(const std::string& screen, std::size_t rows) {
  std::istringstream lines{screen};
  std::string window;
  std::string line;
  for (std::size_t row = 0; row < rows && std::getline(lines, line); ++row) {
    line = line.substr(0, 80);
    window += line.erase(line.find_last_not_of(' ') + 1) + "\n";
  }
  return window;
}

// Whatever the terminal shows outside the window but tmux's frame, which is drawn with the box
// characters U+2500 to U+257F: it should be blank, not filled with dots.
std::string outside_window(const std::string& screen, std::size_t rows) {
  std::istringstream lines{screen};
  std::string outside;
  std::string line;
  for (std::size_t row = 0; std::getline(lines, line); ++row) {
    outside += row < rows ? line.substr(std::min<std::size_t>(80, line.size())) : line;
  }
  for (const std::string_view box : {"\xe2\x94", "\xe2\x95"}) {
    for (std::size_t at; (at = outside.find(box)) != std::string::npos;) {
      outside.erase(at, 3);
    }
  }
  return outside.erase(0, outside.find_first_not_of(' '));
}

void wait_for_screen(const TmuxSession& session, std::string_view text) {
  const auto give_up = Clock::now() + 60s;
  while (session.screen().find(text) == std::string::npos && Clock::now() < give_up) {
    std::this_thread::sleep_for(20ms);
  }
}

TEST_F(RealTerminal, WatchIgnoresKeysDuringThePerformanceAndKeepsTheLastPictureForOne) {
  const TmuxSession session{watch({"--speed", "0", "demo_short"})};
  wait_for_screen(session, message_1);
  // Typed text, Enter, and the keys that would stop or quit the demo in a plain terminal.
  session.send_keys({"x", "y", "Enter", "C-z", "C-\\", "q"});

  const std::string last_picture = last_rows(demo_short::script, 25);
  const auto give_up = Clock::now() + 60s;
  while (session.screen() != last_picture && Clock::now() < give_up) {
    std::this_thread::sleep_for(100ms);
  }
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(session.screen(), last_picture);
  EXPECT_TRUE(session.running()) << "the view ended before a key was pressed after the demo";

  session.send_keys({"Space"});
  EXPECT_EQ(session.wait(10s), 0);
}

// The window is 80 columns wide in any terminal at least that wide, and as high as the terminal
// up to 25 rows; around it the terminal is left blank.
TEST_F(RealTerminal, WatchShowsTheLastPictureInTerminalsOfOtherSizes) {
  struct Case {
    TerminalSize terminal;
    std::size_t window_rows;
  };
  for (const Case c : {Case{{80, 24}, 24}, Case{{120, 40}, 25}}) {
    SCOPED_TRACE(std::to_string(c.terminal.columns) + " by " + std::to_string(c.terminal.rows));
    const TmuxSession session{watch({"--speed", "0", "demo_short"}), c.terminal};
    const std::string last_picture = last_rows(demo_short::script, c.window_rows);
    const auto give_up = Clock::now() + 60s;
    std::string screen = session.screen();
    while (window_of(screen, c.window_rows) != last_picture && Clock::now() < give_up) {
      std::this_thread::sleep_for(100ms);
      screen = session.screen();
    }
    EXPECT_EQ(window_of(screen, c.window_rows), last_picture);
    EXPECT_EQ(outside_window(screen, c.window_rows), "") << screen;
    std::this_thread::sleep_for(1s); // past the closing pause, during which keys are discarded
    session.send_keys({"Space"});
    EXPECT_EQ(session.wait(10s), 0);
  }
}

TEST_F(RealTerminal, WatchEndsAtOnceOnCtrlC) {
  const TmuxSession session{watch({"demo"})};
  std::this_thread::sleep_for(1s);
  session.send_keys({"C-c"});
  EXPECT_EQ(session.wait(5s), 130);
}

} // namespace
