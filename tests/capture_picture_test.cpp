// The README's moving picture decoded back against a fresh one and the model.

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

} // namespace
