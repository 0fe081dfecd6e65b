// The README's moving picture decoded back against a fresh one and the model, and a capture
// that cannot be made.

#include "capture_harness.hpp"
#include "child_process.hpp"
#include "demo_scripts.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// The README's picture: the main demo from the end of its counter, in two colours, the banner
// held to the end of the closing pause; the one committed shows the frames a fresh one does.
TEST(Capture, ReadmePictureIsTheFreshOneInTwoColoursFromTheCounterToTheBanner) {
  const std::string committed = std::string{PROJECT_SOURCE_DIR} + "/docs/demo.gif";
  const std::string fresh = capture_path("demo.gif");
  EXPECT_EQ(probe(committed)["width"] + "x" + probe(committed)["height"], "720x400");

  DecodedFrames committed_frames{committed, 720, 400, 50};
  DecodedFrames fresh_frames{fresh, 720, 400, 50};
  std::vector<unsigned char> a;
  std::vector<unsigned char> b;
  std::int64_t count = 0;
  bool two_colours = true;
  for (; committed_frames.next(a); ++count) {
    ASSERT_TRUE(fresh_frames.next(b)) << "the fresh picture ends at frame " << count;
    ASSERT_TRUE(a == b) << "frame " << count << " differs from the fresh picture's";
    for (const unsigned char pixel : a) {
      two_colours = two_colours && (pixel == 0x00 || pixel == 0xaa);
    }
  }
  EXPECT_FALSE(fresh_frames.next(b)) << "the fresh picture goes on after frame " << count;
  EXPECT_TRUE(two_colours) << "a pixel other than black or #aaaaaa";

  ScreenAt model{scripts::demo};
  const std::int64_t from = 8'400'000'000;
  const std::int64_t end = model.end_ns();
  DecodedFrames frames{committed, 720, 400, 50};
  // Every frame of the last 4 seconds, the banner's hold among them; a frame in 13 before.
  const std::int64_t frames_seen =
      expect_screens(frames, model, from, 50,
                     [&](std::int64_t k, auto t) { return t >= end - 4 * second || k % 13 == 0; });
  EXPECT_EQ(frames_seen, count);
  EXPECT_EQ(count, (end - from) * 50 / second + 1);
}

// A capture that cannot be made says why and leaves nothing behind: not the file, not the one
// it was being made in. The font is not there; the still's moment is past the performance's end;
// ffmpeg stops reading and fails.
TEST(Capture, FailsWithTheReasonAndLeavesNothingBehind) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("qav-capture-test." + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string video = (folder / "demo.mp4").string();
  const std::string picture = (folder / "demo.gif").string();

  const std::string still = (folder / "demo.png").string();
  struct Refusal {
    std::vector<std::string> args;
    std::string said;
  };
  for (const auto& [args, said] :
       {Refusal{{"--font", "/nowhere/vga.ttf", "demo", video}, video + ": /nowhere/vga.ttf"},
        Refusal{{"--at", "40", "demo", still}, still + ": the performance is over by then"}}) {
    const ChildRun refused = run(CAPTURE_PROGRAM, args, {});
    EXPECT_TRUE(refused.exited && refused.status == 1);
    EXPECT_NE(refused.error_output.find("cannot make " + said), std::string::npos)
        << refused.error_output;
  }

  const auto fake = folder / "ffmpeg";
  std::ofstream{fake}
      << "#!/bin/sh\nhead -c 100000 >/dev/null\necho 'no such encoder' >&2\nexit 1\n";
  std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
  const std::string path = folder.string() + ":" + std::getenv("PATH");
  setenv("PATH", path.c_str(), 1);
  const ChildRun failing = run(CAPTURE_PROGRAM, {"--from", "8.4", "demo", picture}, {});
  EXPECT_TRUE(failing.exited && failing.status == 1);
  EXPECT_NE(failing.error_output.find("no such encoder"), std::string::npos);
  EXPECT_NE(failing.error_output.find("qav-capture: cannot make " + picture + ": "),
            std::string::npos)
      << failing.error_output;

  std::filesystem::remove(fake);
  EXPECT_TRUE(std::filesystem::is_empty(folder)) << "something was left in " << folder;
  std::filesystem::remove_all(folder);
}

} // namespace
