// How the launcher ends: at a signal at any moment, at Ctrl-C, when the demo fails, and at a bad
// command line.

#include "watch_harness.hpp"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <unistd.h>
#include <utility>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

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
      // Within a second here; four allow for a busy machine, and are still well short of the
      // demo's own end, which a launcher that let the signal pass would wait for, and a key.
      EXPECT_LT(Clock::now() - started, std::chrono::milliseconds{at} + 4s);
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
    EXPECT_EQ(close_with_a_key(session), 1);
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
    EXPECT_TRUE(
        result.error_output.ends_with("\nTry '" WATCH_PROGRAM " --help' for more information.\n"))
        << result.error_output;
    EXPECT_EQ(std::ranges::count(result.error_output, '\n'), 2) << result.error_output;
  }
}

// The help the refusal points to is had by the command it names, as typed where the launcher was
// run: `./watch --help` in its folder, since a plain `watch` is another program.
TEST(WatchCommandLine, NamesAHelpCommandThatWorksWhereItWasRun) {
  const std::string folder = std::filesystem::path{WATCH_PROGRAM}.parent_path().string();
  const ChildRun refused = run("sh", {"-c", "cd \"$0\" && exec ./watch --fast", folder}, {});
  EXPECT_EQ(refused.status, 2);
  const std::string hint = "\nTry './watch --help' for more information.\n";
  ASSERT_TRUE(refused.error_output.ends_with(hint)) << refused.error_output;
  TempFile help;
  const ChildRun helped =
      run("sh", {"-c", "cd \"$0\" && exec ./watch --help", folder}, {.stdout_fd = help.fd()});
  EXPECT_EQ(helped.status, 0) << helped.error_output;
  EXPECT_TRUE(help.contents().starts_with("usage: watch ")) << help.contents();
}

} // namespace
