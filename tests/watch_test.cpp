// The launcher, `watch`, run in a real terminal as a person would: it starts a tmux of its own
// in there and shows the demo in a window 80 columns wide.

#include "capture/console_model.hpp"
#include "needs.hpp"
#include "tmux_session.hpp"

#include "demo_short/script.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::string_view message_1 = "Dette er min 1ste demo";

class Watch : public testing::Test {
protected:
  void SetUp() override { needs(TmuxSession::available() ? "" : "tmux (Debian package tmux)"); }
};

// The launcher, run in the terminal as a person would: it starts a tmux of its own in there,
// unless the settings given (NAME=VALUE) keep tmux from starting.
std::vector<std::string> watch(std::initializer_list<std::string> args,
                               std::vector<std::string> settings = {}) {
  settings.insert(settings.begin(), {"env", "DEMO_BUILD_DIR=" DEMO_BUILD_DIR});
  settings.insert(settings.end(), {WATCH_PROGRAM});
  settings.insert(settings.end(), args);
  return settings;
}

// A folder for the launcher's TMPDIR, to see that it leaves nothing there. Made with a name
// longer than a socket's may be, tmux cannot start in it, and the launcher draws straight into
// the terminal instead.
struct Scratch {
  explicit Scratch(bool too_long_for_tmux)
      : path{std::filesystem::temp_directory_path() /
             ("demo-test-watch-" + std::to_string(getpid()) +
              std::string(too_long_for_tmux ? 100 : 0, 'x'))} {
    std::filesystem::create_directory(path);
  }
  ~Scratch() { std::filesystem::remove_all(path); }
  bool empty() const { return std::filesystem::is_empty(path); }
  std::string setting() const { return "TMPDIR=" + path.string(); }
  std::filesystem::path path;
};

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

// A build folder for the launcher whose demo_short writes its first message and then ends as the
// shell command given, run through the real relay.
struct FailingBuild {
  explicit FailingBuild(const std::string& ending)
      : path{std::filesystem::temp_directory_path() /
             ("demo-test-build-" + std::to_string(getpid()))} {
    std::filesystem::create_directories(path / "demo_short");
    std::filesystem::create_directories(path / "relay");
    std::filesystem::create_symlink(RELAY_PROGRAM, path / "relay" / "qav-relay");
    const auto demo = path / "demo_short" / "demo_short";
    std::ofstream{demo} << "#!/bin/sh\necho '" << message_1 << "'\n" << ending << "\n";
    std::filesystem::permissions(demo, std::filesystem::perms::owner_all);
  }
  ~FailingBuild() { std::filesystem::remove_all(path); }
  std::string setting() const { return "DEMO_BUILD_DIR=" + path.string(); }
  std::filesystem::path path;
};

void wait_for_screen(const TmuxSession& session, std::string_view text) {
  const auto give_up = Clock::now() + 60s;
  while (session.screen().find(text) == std::string::npos && Clock::now() < give_up) {
    std::this_thread::sleep_for(20ms);
  }
}

TEST_F(Watch, IgnoresKeysDuringThePerformanceAndKeepsTheLastPictureForOne) {
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

// Ctrl-C ends the view at once, and says nothing.
TEST_F(Watch, EndsAtOnceOnCtrlCSilently) {
  const Scratch scratch{false};
  const TmuxSession session{watch({"demo_short"}, {scratch.setting()})};
  // The counter is on: any 25 numbers in a row hold a multiple of ten. (A given number scrolls
  // past in a few milliseconds, too fast for the screen to be caught holding it.)
  wait_for_screen(session, "0");
  session.send_keys({"C-c"});
  EXPECT_EQ(session.wait(5s), 128 + SIGINT);
  EXPECT_EQ(session.screen().find("qav-relay"), std::string::npos) << session.screen();
  EXPECT_TRUE(scratch.empty());
}

// A signal at any moment, from the launcher's first steps to its view, ends it within a second,
// by that signal, leaving nothing in TMPDIR, whatever standard error is; its own line names
// SIGTERM and SIGHUP, and neither the relay nor a shell ("Terminated") says anything.
TEST_F(Watch, EndsAtOnceAtASignalAtAnyMomentLeavingNothing) {
  constexpr std::pair<int, const char*> signals[] = {
      {SIGTERM, "TERM"}, {SIGHUP, "HUP"}, {SIGINT, "INT"}};
  int next = 0;
  for (const bool direct : {false, true}) {
    for (const int at : {1, 8, 15, 25, 40, 60, 1000}) { // milliseconds
      const auto [number, signal] = signals[next++ % 3];
      const bool error_closed = at == 40;
      SCOPED_TRACE(std::string{direct ? "direct" : "in tmux"} + ", SIG" + signal + " at " +
                   std::to_string(at) + " ms" + (error_closed ? ", standard error closed" : ""));
      const Scratch scratch{direct};
      std::vector<std::string> command{"sh",
                                       "-c",
                                       error_closed ? "exec \"$@\" 2>&-" : "exec \"$@\"",
                                       "sh",
                                       "timeout",
                                       "--foreground",
                                       "--preserve-status",
                                       "-s",
                                       signal,
                                       std::to_string(at / 1000.0)};
      const auto launcher = watch({"--speed", "0", "demo_short"}, {scratch.setting()});
      command.insert(command.end(), launcher.begin(), launcher.end());
      const auto started = Clock::now();
      const TmuxSession session{command};
      try {
        EXPECT_EQ(session.wait(5s), 128 + number);
      } catch (const std::runtime_error& error) {
        ADD_FAILURE() << error.what() << "; the screen:\n" << session.screen();
        continue;
      }
      EXPECT_LT(Clock::now() - started, std::chrono::milliseconds{at} + 1500ms);
      EXPECT_TRUE(scratch.empty());
      const std::string screen = session.screen();
      EXPECT_EQ(screen.find("qav-relay"), std::string::npos) << screen;
      EXPECT_EQ(screen.find("\nTerminated"), std::string::npos) << screen;
      if (at == 1000 && number != SIGINT) {
        const auto rows = session.history();
        EXPECT_TRUE(std::ranges::any_of(rows, [&](const std::string& row) {
          return row.find("watch: ended by signal " + std::to_string(number)) != std::string::npos;
        })) << screen;
      }
    }
  }
}

// A demo that fails: once a key is pressed after its last picture, the launcher ends with status
// 1 and a line that says how the demo ended, in tmux's window and straight in the terminal alike.
TEST_F(Watch, SaysHowAFailedDemoEndedInEitherView) {
  struct Case {
    bool direct;
    std::string ending;
    std::string said;
  };
  for (const Case& c : {Case{false, "exit 3", "watch: demo_short exited with status 3"},
                        Case{true, "exit 3", "watch: demo_short exited with status 3"},
                        Case{false, "kill -KILL $$", "watch: demo_short was killed by signal 9"},
                        Case{true, "kill -KILL $$", "watch: demo_short was killed by signal 9"}}) {
    SCOPED_TRACE(std::string{c.direct ? "direct, " : "in tmux, "} + c.ending);
    const Scratch scratch{c.direct};
    const FailingBuild build{c.ending};
    const TmuxSession session{
        watch({"--speed", "0", "demo_short"}, {scratch.setting(), build.setting()})};
    wait_for_screen(session, message_1);
    std::this_thread::sleep_for(1s); // past the demo's end, after which typed keys are dropped
    session.send_keys({"Space"});
    EXPECT_EQ(session.wait(10s), 1);
    const auto rows = session.history();
    EXPECT_TRUE(std::ranges::any_of(rows, [&](const std::string& row) {
      return row.starts_with(c.said);
    })) << session.screen();
    EXPECT_TRUE(scratch.empty());
  }
}

// A bad command line: one line says what is wrong, and one where the help is. The speed is the
// relay's to judge, each one given, before anything is shown.
TEST(WatchCommandLine, RefusesWithOneLineAndWhereTheHelpIs) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--fast"},
                                             {""},
                                             {"demo", "demo_short"},
                                             {"--speed"},
                                             {"--speed=-1", "demo"},
                                             {"--speed", "100000001"},
                                             {"--speed=x", "--speed", "0"}}) {
    std::vector<std::string> command{"DEMO_BUILD_DIR=" DEMO_BUILD_DIR, WATCH_PROGRAM};
    command.insert(command.end(), args.begin(), args.end());
    const ChildRun result = run("env", command, {});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.error_output.starts_with("watch: ")) << result.error_output;
    EXPECT_TRUE(result.error_output.ends_with("\nTry 'watch --help' for more information.\n"))
        << result.error_output;
    EXPECT_EQ(std::ranges::count(result.error_output, '\n'), 2) << result.error_output;
  }
}

} // namespace
