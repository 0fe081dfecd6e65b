// A capture that cannot be made, or is stopped: one line with the reason, the right status,
// nothing under the name asked for or beside it, no ffmpeg left running, and the file that was
// there as it was.

#include "capture_harness.hpp"
#include "cast_file.hpp"
#include "child_process.hpp"
#include "needs.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A folder of the test's own, whose contents are what the capture left.
struct Folder {
  Folder() : path{reachable_by_others() / ("qav-capture-test." + std::to_string(getpid()))} {
    fs::create_directories(path);
    fs::permissions(path, fs::perms::all); // another user's captures go here too
  }
  ~Folder() { fs::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
  std::vector<std::string> left() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator{path}) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  fs::path path;
};

struct Case {
  std::vector<std::string> args;
  int status;
  std::string said; // in the one line
};

// Each refusal comes before any work, in a moment: a start past the end or more than an hour of
// video (a bad use, 2), a font that cannot be read, a name too long, a folder, a pipe, a file
// the caller may not write or a sticky folder keeps from it (1). The old file stays as it was.
TEST(CaptureFailure, RefusesBeforeAnyWorkWithTheReason) {
  needs(geteuid() == 0 ? "" : "root, to act as another user");
  const Folder folder;
  fs::create_directory(folder.path / "dir.mp4");
  for (const std::string fifo : {"fifo.mp4", "font.ttf"}) {
    mkfifo((folder / fifo).c_str(), 0600);
    fs::permissions(folder.path / fifo, fs::perms::all);
  }
  std::ofstream{folder / "theirs.png"} << "kept";
  fs::permissions(folder.path / "theirs.png",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::create_directory(folder.path / "sticky");
  fs::permissions(folder.path / "sticky", fs::perms::all | fs::perms::sticky_bit);
  std::ofstream{folder / "sticky/root.png"} << "kept";
  fs::permissions(folder.path / "sticky/root.png", fs::perms::all);
  const std::string png = folder / "x.png";
  for (const Case& c : std::vector<Case>{
           {{"--from", "29.01", "demo", folder / "x.gif"}, 2, "--from 29.01 s is not before"},
           {{"--at", "40", "demo", png}, 2, "--at 40.00 s is not before"},
           {{"--speed", "1", "demo_short", folder / "x.mp4"}, 2, "more than an hour"},
           {{"--font", "/nowhere/vga.ttf", "demo", png}, 1, "/nowhere/vga.ttf: No such file"},
           {{"--font", folder.path.string(), "demo", png}, 1, "not a font file"},
           {{"--font", folder / "font.ttf", "demo", png}, 1, "not a font file"},
           {{"demo", folder / std::string(300, 'n') + ".png"}, 1, "File name too long"},
           {{"demo", folder / "dir.mp4"}, 1, "Is a directory"},
           {{"demo", folder / "fifo.mp4"}, 1, "a file it can seek in"},
           {{"demo", folder / "theirs.png"}, 1, "Permission denied"},
           {{"demo", folder / "sticky/root.png"}, 1, "Operation not permitted"},
       }) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const ChildRun refused = run(CAPTURE_PROGRAM, c.args, {.user = 65534});
    EXPECT_TRUE(refused.exited);
    EXPECT_EQ(refused.status, c.status);
    EXPECT_NE(refused.error_output.find(c.said), std::string::npos) << refused.error_output;
    EXPECT_EQ(std::ranges::count(refused.error_output, '\n'), c.status) << refused.error_output;
    EXPECT_LT(refused.elapsed, 5s) << "refused only after the work";
  }
  EXPECT_EQ(read_file(folder / "theirs.png"), "kept");
  EXPECT_EQ(read_file(folder / "sticky/root.png"), "kept");
  EXPECT_EQ(folder.left().size(), 5U) << testing::PrintToString(folder.left());
}

// ffmpeg held to its word: a full disk or a file-size limit fail the capture with ffmpeg's own
// reason after the capture's line, where ffmpeg alone would call the truncated file done; a
// folder whose name looks like a protocol or an option is a folder like any other; root
// capturing over a user's file keeps its owner and permissions.
TEST(CaptureFailure, NeverCallsABrokenFileDone) {
  needs(geteuid() == 0 ? "" : "root, to mount a small disk and act for another user");
  const Folder folder;
  const fs::path small = folder.path / "small";
  fs::create_directory(small);
  const ChildRun mounted = run("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", small}, {});
  ASSERT_EQ(mounted.status, 0) << mounted.error_output;
  const ChildRun full = run(CAPTURE_PROGRAM, {"--from", "24", "demo", small / "x.mp4"}, {});
  EXPECT_EQ(full.status, 1);
  EXPECT_TRUE(full.error_output.starts_with(
      "qav-capture: cannot make " + (small / "x.mp4").string() + ": ffmpeg exited with status 1"))
      << full.error_output;
  EXPECT_NE(full.error_output.find("No space left on device"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(small));
  run("umount", {small}, {});

  const ChildRun limited = run(CAPTURE_PROGRAM, {"--from", "24", "demo", folder / "y.mp4"},
                               {.ignored_signals = {SIGXFSZ}, .file_size_limit = 16 * 1024});
  EXPECT_EQ(limited.status, 1);
  EXPECT_NE(limited.error_output.find("File too large"), std::string::npos) << limited.error_output;

  for (const std::string odd : {"pipe:", "file:", "tee:", "-d"}) {
    fs::create_directory(folder.path / odd);
    TempFile output;
    const ChildRun made = run("sh",
                              {"-c", "cd \"$0\" && exec \"$1\" demo_short \"$2\"", folder.path,
                               CAPTURE_PROGRAM, odd + "/x.png"},
                              {.stdout_fd = output.fd()});
    EXPECT_EQ(made.status, 0) << odd << ": " << made.error_output;
    EXPECT_EQ(output.contents(), "") << odd;
    EXPECT_EQ(probe(folder / (odd + "/x.png"))["codec_name"], "png") << odd;
    fs::remove_all(folder.path / odd);
  }

  const std::string theirs = folder / "theirs.png";
  std::ofstream{theirs} << "old";
  ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
  fs::permissions(theirs, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(run(CAPTURE_PROGRAM, {"demo_short", theirs}, {}).status, 0);
  struct stat status {};
  ASSERT_EQ(stat(theirs.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600U);
  EXPECT_EQ(status.st_uid, 65534U);
  EXPECT_NE(read_file(theirs), "old");

  EXPECT_EQ(folder.left(), (std::vector<std::string>{"small", "theirs.png"}));
}

// INT, TERM, HUP or QUIT at any moment, the first ones included: ffmpeg is ended, the temporary
// file removed, and the capture dies by the signal. One ignored when it starts (nohup) stays
// ignored, and the capture is made.
TEST(CaptureFailure, EndsAtASignalLeavingNothingAndNoFfmpeg) {
  const Folder folder;
  // ffmpeg, noting its process id where the test can look.
  const std::string pid_file = folder / "ffmpeg.pid";
  const fs::path bin = folder.path / "bin";
  fs::create_directory(bin);
  std::ofstream{bin / "ffmpeg"} << "#!/bin/sh\necho $$ >" << pid_file << "\nexec " << FFMPEG
                                << " \"$@\"\n";
  fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
  const std::string path = bin.string() + ":" + std::getenv("PATH");
  setenv("PATH", path.c_str(), 1);

  const std::string video = folder / "x.mp4";
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    for (const auto at : {0ms, 50ms, 300ms, 1500ms}) {
      SCOPED_TRACE(std::string{strsignal(signal)} + " at " + std::to_string(at.count()) + " ms");
      Child capture{CAPTURE_PROGRAM, {"demo", video}, {}};
      std::this_thread::sleep_for(at);
      capture.signal(signal);
      const ChildRun ended = capture.wait();
      EXPECT_FALSE(ended.exited);
      EXPECT_EQ(ended.status, signal);
      EXPECT_EQ(ended.error_output, "");
      // Empty when ffmpeg's wrapper was ended before it could say, and before ffmpeg ran.
      const std::string ffmpeg = fs::exists(pid_file) ? read_file(pid_file) : "";
      if (!ffmpeg.empty()) {
        EXPECT_NE(kill(std::atoi(ffmpeg.c_str()), 0), 0) << "ffmpeg was left running";
      }
      fs::remove(pid_file);
      EXPECT_EQ(folder.left(), (std::vector<std::string>{"bin"}));
    }
  }

  Child ignoring{CAPTURE_PROGRAM, {"demo_short", folder / "x.png"}, {.ignored_signals = {SIGINT}}};
  std::this_thread::sleep_for(100ms);
  ignoring.signal(SIGINT);
  EXPECT_EQ(ignoring.wait().status, 0);
  EXPECT_TRUE(fs::exists(folder / "x.png"));
}

// An ffmpeg that stops reading and fails: its reason, after the capture's own line.
TEST(CaptureFailure, SaysWhatAFailingFfmpegSaid) {
  const Folder folder;
  const fs::path bin = folder.path / "bin";
  fs::create_directory(bin);
  std::ofstream{bin / "ffmpeg"}
      << "#!/bin/sh\nhead -c 100000 >/dev/null\necho 'no such encoder' >&2\nexit 1\n";
  fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
  const std::string path = bin.string() + ":" + std::getenv("PATH");
  setenv("PATH", path.c_str(), 1);
  const std::string picture = folder / "demo.gif";
  const ChildRun failing = run(CAPTURE_PROGRAM, {"--from", "8.4", "demo", picture}, {});
  EXPECT_TRUE(failing.exited && failing.status == 1);
  EXPECT_TRUE(failing.error_output.starts_with("qav-capture: cannot make " + picture +
                                               ": ffmpeg exited with status 1; ffmpeg said:\n"
                                               "no such encoder\n"))
      << failing.error_output;
  EXPECT_EQ(folder.left(), (std::vector<std::string>{"bin"}));
}

} // namespace
