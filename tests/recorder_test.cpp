// The recorder as a program: fast, the same at every run, and its file saved whole or not at
// all.

#include "cast_file.hpp"
#include "child_process.hpp"
#include "needs.hpp"

#include "engine/console_speed.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
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
  // Any name a file may have, up to the longest, is one a recording can be saved as.
  const std::string longest_name = (folder / std::string(255, 'n')).string();
  EXPECT_EQ(run(RECORD_PROGRAM, {"demo_short", longest_name}, {}).error_output, "");
  EXPECT_TRUE(read_file(longest_name) == read_file(cast_path("demo_short")));
  std::filesystem::remove_all(folder);

  const ChildRun device = run(RECORD_PROGRAM, {"demo_short", "/dev/full"}, {});
  EXPECT_EQ(device.status, 1);
  EXPECT_EQ(device.error_output, "qav-record: cannot write /dev/full: No space left on device\n");
}

// Ctrl-C, a terminal closed or kill at any moment of a recording: the file that was there stays
// as it was, or is whole, and nothing else is left beside it.
TEST(Recorder, LeavesNothingButWhatWasThereWhenInterrupted) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("recording-test-interrupted-" + std::to_string(::getpid()));
  std::filesystem::create_directory(folder);
  const std::string older = (folder / "older.cast").string();
  const std::string recording = read_file(cast_path("demo_short"));
  constexpr int signals[] = {SIGINT, SIGTERM, SIGHUP};
  for (int at = 0; at < 90; at += 3) { // milliseconds: a recording takes about 80
    std::ofstream{older} << "an older recording";
    Child recorder{RECORD_PROGRAM, {"demo_short", older}, {}};
    std::this_thread::sleep_for(std::chrono::milliseconds{at});
    recorder.signal(signals[at % 3]);
    recorder.wait();
    const std::string now = read_file(older);
    EXPECT_TRUE(now == "an older recording" || now == recording) << "at " << at << " ms";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator{folder}, {}), 1)
        << "a temporary file was left behind at " << at << " ms";
  }
  std::filesystem::remove_all(folder);
}

// As the shell's > and cp have it: a file the caller could not open for writing is not replaced,
// nor one in a sticky folder that is neither the caller's nor the folder's; the replacement
// keeps the permission bits but setuid and setgid, and, made by root, the owner and group.
TEST(Recorder, RespectsTheFileItReplaces) {
  needs(geteuid() == 0 ? "" : "root, to act as another user");
  constexpr int nobody = 65534;
  const auto folder =
      reachable_by_others() / ("recording-test-owners-" + std::to_string(::getpid()));
  const auto sticky = folder / "sticky";
  std::filesystem::create_directories(sticky);
  std::filesystem::permissions(sticky, std::filesystem::perms{01777});
  ASSERT_EQ(chown(folder.c_str(), nobody, nobody), 0);
  const auto file = [&](const std::filesystem::path& path, uid_t owner, unsigned mode) {
    std::ofstream{path} << "an older recording";
    EXPECT_EQ(chown(path.c_str(), owner, nobody), 0);
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode));
    return path.string();
  };
  struct Refused {
    std::string path;
    std::string reason;
  };
  for (const Refused& c : {Refused{file(folder / "read-only", nobody, 0444), "Permission denied"},
                           Refused{file(folder / "roots", 0, 0644), "Permission denied"},
                           Refused{file(sticky / "roots", 0, 0666), "Operation not permitted"}}) {
    const ChildRun refused = run(RECORD_PROGRAM, {"demo_short", c.path}, {.user = nobody});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.error_output, "qav-record: cannot write " + c.path + ": " + c.reason + "\n");
    EXPECT_TRUE(read_file(c.path) == "an older recording") << c.path;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator{sticky}, {}), 1);

  const std::string setuid = file(folder / "setuid", nobody, 04755);
  EXPECT_EQ(run(RECORD_PROGRAM, {"demo_short", setuid}, {}).status, 0);
  struct stat replaced {};
  ASSERT_EQ(stat(setuid.c_str(), &replaced), 0);
  EXPECT_EQ(replaced.st_mode & 07777, 0755U);
  EXPECT_EQ(replaced.st_uid, static_cast<uid_t>(nobody));
  EXPECT_EQ(replaced.st_gid, static_cast<gid_t>(nobody));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator{folder}, {}), 4);
  std::filesystem::remove_all(folder);
}

} // namespace
