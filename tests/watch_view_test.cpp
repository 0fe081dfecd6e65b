// The launcher's view as a person sees it: the last picture in terminals of other sizes, keys
// typed during the performance, and the terminal's title, which says what happens.

#include "demo_scripts.hpp"
#include "watch_harness.hpp"

#include "console/console_model.hpp"

#include <algorithm>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

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

TEST_F(Watch, IgnoresKeysDuringThePerformanceAndKeepsTheLastPictureForOne) {
  const TmuxSession session{watch({"--speed", "0", "demo_short"})};
  wait_for_screen(session, message_1);
  // Typed text, Enter, and the keys that would stop or quit the demo in a plain terminal.
  session.send_keys({"x", "y", "Enter", "C-z", "C-\\", "q"});

  const std::string last_picture = last_rows(scripts::demo_short, 25);
  const auto give_up = Clock::now() + 60s;
  while (session.screen() != last_picture && Clock::now() < give_up) {
    std::this_thread::sleep_for(100ms);
  }
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(session.screen(), last_picture);
  EXPECT_TRUE(session.running()) << "the view ended before a key was pressed after the demo";
  EXPECT_EQ(close_with_a_key(session), 0);
}

// Ctrl-S stops the drawing where it is, as on a console, however long it is held, and Ctrl-Q
// resumes it; in tmux's window and straight in the terminal alike. A key that reached the demo
// or the relay instead would leave the counter running.
TEST_F(Watch, StopsTheDrawingAtCtrlSAndResumesItAtCtrlQ) {
  for (const bool direct : {false, true}) {
    SCOPED_TRACE(direct ? "direct" : "in tmux");
    const Scratch scratch{direct};
    const TmuxSession session{watch({"demo_short"}, {scratch.setting()})};
    wait_for_screen(session, "0");
    session.send_keys({"C-s"});
    std::this_thread::sleep_for(1s); // what was already on its way to the screen is drawn
    const std::string stopped = session.screen();
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(session.screen(), stopped) << "the counter ran on after Ctrl-S";
    session.send_keys({"C-q"});
    const auto give_up = Clock::now() + 20s;
    while (session.screen() == stopped && Clock::now() < give_up) {
      std::this_thread::sleep_for(100ms);
    }
    EXPECT_NE(session.screen(), stopped) << "the counter did not resume after Ctrl-Q";
    // Straight in the terminal, Ctrl-C reaches the shell that would note the status too.
    session.send_keys({"C-c"});
    const int status = session.wait(10s);
    EXPECT_TRUE(direct || status == 130) << status;
    EXPECT_TRUE(scratch.empty());
  }
}

// The window is 80 columns wide in any terminal at least that wide, and as high as the terminal
// up to 25 rows; around it the terminal is left blank.
TEST_F(Watch, ShowsTheLastPictureInTerminalsOfOtherSizes) {
  struct Case {
    TerminalSize terminal;
    std::size_t window_rows;
    std::string setting = "TERM=screen";
  };
  // Where tmux cannot drive the terminal, the demo is drawn straight into it.
  for (const Case& c : {Case{{80, 24}, 24}, Case{{120, 40}, 25}, Case{{80, 25}, 25, "TERM=dumb"}}) {
    SCOPED_TRACE(std::to_string(c.terminal.columns) + " by " + std::to_string(c.terminal.rows) +
                 " " + c.setting);
    const TmuxSession session{watch({"--speed", "0", "demo_short"}, {c.setting}), c.terminal};
    const std::string last_picture = last_rows(scripts::demo_short, c.window_rows);
    const auto give_up = Clock::now() + 60s;
    std::string screen = session.screen();
    while (window_of(screen, c.window_rows) != last_picture && Clock::now() < give_up) {
      std::this_thread::sleep_for(100ms);
      screen = session.screen();
    }
    EXPECT_EQ(window_of(screen, c.window_rows), last_picture);
    EXPECT_EQ(outside_window(screen, c.window_rows), "") << screen;
    EXPECT_EQ(close_with_a_key(session), 0);
  }
}

// Waits, a minute and a half at the most, until the terminal's title is the one given.
std::string wait_for_title(const TmuxSession& session, std::string_view title) {
  const auto give_up = Clock::now() + 90s;
  std::string now = session.title();
  while (now != title && Clock::now() < give_up) {
    std::this_thread::sleep_for(50ms);
    now = session.title();
  }
  return now;
}

// The title names the demo and says what happens: the blank screen of the opening pause, the
// performance, and the picture held for a key; the terminal's own title comes back at the end.
// In tmux's view, tmux passes its pane's title on to the terminal; straight in the terminal, the
// launcher sets it there itself. Nothing of it is drawn in the picture.
TEST_F(Watch, TitleSaysWhatHappensAndIsGivenBackAtTheEnd) {
  constexpr std::string_view own_title = "the title before";
  for (const bool direct : {false, true}) {
    SCOPED_TRACE(direct ? "direct" : "in tmux");
    const Scratch scratch{direct};
    std::vector<std::string> command{"sh", "-c", "printf \"\\033]2;%s\\007\" \"$0\"; exec \"$@\"",
                                     std::string{own_title}};
    const auto launcher = watch({"--speed", "0", "demo"}, {scratch.setting()});
    command.insert(command.end(), launcher.begin(), launcher.end());
    const TmuxSession session{command};

    EXPECT_EQ(wait_for_title(session, "demo: opening pause (8 s)"), "demo: opening pause (8 s)");
    EXPECT_EQ(window_of(session.screen(), 25), std::string(25, '\n')) << "drawn in the pause";
    wait_for_screen(session, message_1);
    EXPECT_EQ(session.title(), "demo: playing");
    const std::string held = "demo: the end - press a key to close";
    EXPECT_EQ(wait_for_title(session, held), held);
    EXPECT_EQ(session.screen(), last_rows(scripts::demo, 25));

    EXPECT_EQ(close_with_a_key(session), 0);
    EXPECT_EQ(session.title(), own_title);
    EXPECT_TRUE(scratch.empty());
  }
}

} // namespace
