// A first run, as a new reader makes it in a fresh copy of the tree: the README's run command
// builds what `./watch` needs for either demo, and where nothing is built yet the launcher's
// hint is that same build.

#include "watch_harness.hpp"

#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// The source tree without its builds: what a fresh clone holds.
struct FreshCopy {
  FreshCopy()
      : path{fs::temp_directory_path() / ("demo-test-first-run-" + std::to_string(getpid()))} {
    const fs::path source{PROJECT_SOURCE_DIR};
    fs::create_directories(path);
    for (const auto& entry : fs::directory_iterator{source}) {
      const auto name = entry.path().filename();
      if (name != "build" && name != ".git") {
        fs::copy(entry.path(), path / name, fs::copy_options::recursive);
      }
    }
  }
  ~FreshCopy() { fs::remove_all(path); }
  fs::path path;
};

// The README's run command, as its set-up gives it.
std::string readme_run_command(const fs::path& tree) {
  std::ifstream readme{tree / "README.md"};
  for (std::string line; std::getline(readme, line);) {
    if (line.find("cmake --build --preset") != std::string::npos &&
        line.find("./watch") != std::string::npos) {
      return line.substr(line.find_first_not_of(' '));
    }
  }
  return "";
}

TEST_F(Watch, ShortDemoPlaysRightAfterTheRunCommandsBuild) {
  const FreshCopy tree;
  const std::string run_command = readme_run_command(tree.path);
  ASSERT_TRUE(run_command.ends_with(" && ./watch demo")) << run_command;
  const std::string build = run_command.substr(0, run_command.rfind(" && ./watch"));

  // Nothing built yet: the launcher says so, and names the build to run, from where it was run.
  const ChildRun unbuilt = run("sh", {"-c", "cd \"$0\" && exec ./watch demo_short", tree.path}, {});
  EXPECT_EQ(unbuilt.status, 1);
  EXPECT_TRUE(unbuilt.error_output.ends_with(" is not built; run: " + build + "\n"))
      << unbuilt.error_output;

  TempFile output;
  const ChildRun built =
      run("sh", {"-c", "cd \"$0\" && " + build, tree.path}, {.stdout_fd = output.fd()});
  ASSERT_EQ(built.status, 0) << output.contents() << built.error_output;

  // As fast as the terminal draws: the build is what is tested, not the speed.
  const std::vector<std::string> command{"sh", "-c",
                                         "cd \"$0\" && exec ./watch --speed 0 demo_short",
                                         tree.path};
  const TmuxSession session{command};
  const std::string held = "demo_short: the end - press a key to close";
  const auto give_up = std::chrono::steady_clock::now() + 180s;
  while (session.title() != held && session.running() &&
         std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(session.title(), held) << session.screen();
  EXPECT_NE(session.screen().find("Fortsat godt party"), std::string::npos) << session.screen();
  EXPECT_EQ(close_with_a_key(session), 0) << session.screen();
}

} // namespace
