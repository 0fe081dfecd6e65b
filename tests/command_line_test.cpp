// The tools' one command-line grammar, as their users meet it: help on standard output, a bad
// use in one line with the reason and where the help is, options read up to the first operand.

#include "child_process.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Tool {
  std::string name;
  std::string path;
};

std::vector<Tool> tools() {
  std::vector<Tool> all{{"qav-relay", RELAY_PROGRAM}, {"qav-record", RECORD_PROGRAM}};
#ifdef CAPTURE_PROGRAM
  all.push_back({"qav-capture", CAPTURE_PROGRAM});
#endif
  return all;
}

// `--help` and any unambiguous prefix of it: the help on standard output, status 0; help that
// cannot be written is a failure like any other output's.
TEST(CommandLine, HelpGoesToStandardOutputWithStatus0) {
  for (const Tool& tool : tools()) {
    for (const std::string help : {"--help", "--he"}) {
      TempFile output;
      const ChildRun result = run(tool.path, {help, "--speed"}, {.stdout_fd = output.fd()});
      EXPECT_EQ(result.status, 0) << tool.name;
      EXPECT_EQ(result.error_output, "") << tool.name;
      EXPECT_TRUE(output.contents().starts_with("Usage: " + tool.name + " ")) << output.contents();
    }
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    const ChildRun help = run(tool.path, {"--help"}, {.stdout_fd = full});
    close(full);
    EXPECT_EQ(help.status, 1);
    EXPECT_EQ(help.error_output, tool.name + ": write error: No space left on device\n");
  }
}

// Each bad use: the reason in one line, the line that says where the help is, status 2, and
// nothing run or made.
TEST(CommandLine, RefusesABadUseWithItsReasonAndWhereTheHelpIs) {
  const auto marker =
      std::filesystem::temp_directory_path() / ("command-line-test-" + std::to_string(getpid()));
  struct Case {
    std::vector<std::string> args;
    std::string reason;
  };
  const std::vector<Case> relay_cases{
      {{"--fast", "touch", marker}, "unrecognized option '--fast'"},
      {{"-x", "touch", marker}, "invalid option -- 'x'"},
      {{"--help=yes", "touch", marker}, "option '--help' doesn't allow an argument"},
      {{"--speed", "1.5", "touch", marker},
       "the speed must be a whole number from 0 to "
       "100000000, not '1.5'"},
      {{"--speed=-1", "touch", marker}, ""},
      {{"--speed", "100000001", "touch", marker}, ""},
      {{"--speed"}, "option '--speed' requires an argument"},
      {{}, "no program to run"},
  };
  const std::vector<Case> tool_cases{
      {{"--fast", "demo", marker}, "unrecognized option '--fast'"},
      {{"--speed=0", "demo", marker},
       "the speed must be a whole number from 1 to 100000000, "
       "not '0'"},
      {{"--speed", "twenty", "demo", marker}, ""},
      {{"demo"}, ""},
      {{"demo", marker, "more"}, ""},
      {{"demos", marker}, "there is no demo called 'demos': demo or demo_short"},
      {{"demo", ""}, ""},
  };
  std::vector<Case> capture_cases = tool_cases;
  capture_cases.push_back({{"--f", "x", "demo", marker}, "option '--f' is ambiguous"});
  capture_cases.push_back({{"--from", "99999", "demo", marker.string() + ".gif"}, ""});
  for (const Tool& tool : tools()) {
    const auto& cases = tool.name == "qav-relay"    ? relay_cases
                        : tool.name == "qav-record" ? tool_cases
                                                    : capture_cases;
    for (const Case& c : cases) {
      TempFile output;
      const ChildRun result = run(tool.path, c.args, {.stdout_fd = output.fd()});
      SCOPED_TRACE(tool.name + " " + testing::PrintToString(c.args));
      EXPECT_EQ(result.status, 2);
      const std::string try_line = "Try '" + tool.name + " --help' for more information.\n";
      EXPECT_TRUE(result.error_output.starts_with(tool.name + ": " + c.reason))
          << result.error_output;
      EXPECT_TRUE(result.error_output.ends_with("\n" + try_line)) << result.error_output;
      EXPECT_EQ(std::ranges::count(result.error_output, '\n'), 2) << result.error_output;
      EXPECT_EQ(output.contents(), "");
    }
  }
  EXPECT_FALSE(std::filesystem::exists(marker));
}

// `--speed=N` and `--speed N` alike; the options end at the first operand, so that the program
// the relay runs gets its own options, and `--` ends them before an operand that starts with a
// dash.
TEST(CommandLine, ReadsOptionsUpToTheFirstOperand) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--speed=0", "printf", "%s-%s", "--speed", "1"},
           {"--speed", "0", "printf", "%s-%s", "--speed", "1"},
           {"--sp", "0", "--", "printf", "%s-%s", "--speed", "1"}}) {
    TempFile output;
    const ChildRun result = run(RELAY_PROGRAM, args, {.stdout_fd = output.fd()});
    EXPECT_EQ(result.status, 0) << result.error_output;
    EXPECT_EQ(output.contents(), "--speed-1");
  }
  const auto folder =
      std::filesystem::temp_directory_path() / ("command-line-test-" + std::to_string(getpid()));
  std::filesystem::create_directory(folder);
  const std::string file = (folder / "--help").string();
  const ChildRun recorded = run(RECORD_PROGRAM, {"--speed=240000", "--", "demo_short", file}, {});
  EXPECT_EQ(recorded.status, 0) << recorded.error_output;
  EXPECT_TRUE(std::filesystem::exists(file));
  const ChildRun again = run(RECORD_PROGRAM, {"--speed", "240000", "demo_short", file}, {});
  EXPECT_EQ(again.status, 0) << again.error_output;
  std::filesystem::remove_all(folder);
}

} // namespace
