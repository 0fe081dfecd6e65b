// The recorder as a program: fast, the same at every run, and its file saved whole or not at
// all.

#include "cast_file.hpp"
#include "child_process.hpp"

#include "engine/console_speed.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

std::string cast_path(const char* program) {
  return std::string{CAST_DIR} + "/" + program + "-" +
         std::to_string(engine::default_console_speed) + ".cast";
}

TEST(Recorder, IsMadeAnewTheSameInWellUnderASecond) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("recording-test-" + std::to_string(::getpid()) + ".cast");
  const ChildRun made = run(RECORD_PROGRAM, {"demo", path}, {.stdout_fd = -1});
  EXPECT_EQ(made.status, 0);
  EXPECT_LT(made.elapsed, 1s);
  const std::string again = read_file(path);
  std::filesystem::remove(path);
  EXPECT_EQ(again, read_file(cast_path("demo")));
}

// A recording is saved whole or not at all, and every failure says which file and why.
TEST(Recorder, IsSavedWholeOrNotAtAllAndAFailureSaysWhy) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("recording-test-folder-" + std::to_string(::getpid()));
  std::filesystem::create_directory(folder);
  const std::string older = (folder / "older.cast").string();
  std::ofstream{older} << "an older recording";
  std::filesystem::permissions(older, std::filesystem::perms{0640});

  // A full file system, as far as the recorder can tell.
  const ChildRun full = run(RECORD_PROGRAM, {"demo", older}, {.file_size_limit = 100'000});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.error_output, "qav-record: cannot write " + older + ": File too large\n");
  EXPECT_TRUE(read_file(older) == "an older recording") << "the older recording was overwritten";

  const ChildRun replaced = run(RECORD_PROGRAM, {"demo_short", older}, {});
  EXPECT_EQ(replaced.status, 0);
  EXPECT_TRUE(read_file(older) == read_file(cast_path("demo_short")));
  EXPECT_EQ(std::filesystem::status(older).permissions(), std::filesystem::perms{0640});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator{folder}, {}), 1)
      << "a temporary file was left behind";
  std::filesystem::remove_all(folder);

  const ChildRun device = run(RECORD_PROGRAM, {"demo_short", "/dev/full"}, {});
  EXPECT_EQ(device.status, 1);
  EXPECT_EQ(device.error_output, "qav-record: cannot write /dev/full: No space left on device\n");
  const ChildRun no_name = run(RECORD_PROGRAM, {"demo", ""}, {});
  EXPECT_EQ(no_name.status, 2);
  EXPECT_EQ(no_name.error_output, "usage: qav-record [--speed S] demo|demo_short FILE\n");
}

} // namespace
