// The captures as they are shared: each video's title, the credit and licence of the font drawn
// in it and its cover, as ffprobe reads them; the main demo's stills, read back cell by cell.

#include "capture_harness.hpp"
#include "child_process.hpp"

#include "demo_scripts.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

constexpr std::int64_t still_moment = 20 * second;

bool two_colours(const std::vector<unsigned char>& frame) {
  return std::ranges::all_of(frame,
                             [](unsigned char pixel) { return pixel == 0 || pixel == 0xaa; });
}

TEST(Capture, VideosCarryTheirTitleTheFontsCreditAndLicenceAndACover) {
  for (const std::string demo : {"demo", "demo_short"}) {
    SCOPED_TRACE(demo);
    const std::string video = capture_path(demo + ".mp4");
    auto tags = probe(video, "v:0", "format_tags=title,comment,copyright");
    EXPECT_TRUE(tags["TAG:title"].starts_with(demo + ": ")) << tags["TAG:title"];
    EXPECT_NE(tags["TAG:comment"].find("Px IBM VGA9 by VileR"), std::string::npos);
    EXPECT_NE(tags["TAG:copyright"].find("CC BY-SA 4.0"), std::string::npos);

    // The cover is the second stream, a picture at 4:3 that shows boxes, not black; the video
    // stays the first.
    auto cover =
        probe(video, "v:1", "stream=codec_name,width,height:stream_disposition=attached_pic");
    EXPECT_EQ(cover["codec_name"], "png");
    EXPECT_EQ(cover["width"] + "x" + cover["height"], "720x540");
    EXPECT_EQ(cover["DISPOSITION:attached_pic"], "1");
    EXPECT_EQ(probe(video)["codec_name"], "h264");
    DecodedFrames covers{video, 720, 540, 0, "v:1"};
    std::vector<unsigned char> picture;
    ASSERT_TRUE(covers.next(picture));
    EXPECT_GT(std::ranges::count_if(picture, [](unsigned char pixel) { return pixel > 0x20; }),
              720 * 540 / 100);
    EXPECT_FALSE(covers.next(picture)) << "more than one cover";

    if (demo == "demo") {
      // The main demo's cover is its still, shown at 4:3.
      TempFile scaled;
      const ChildRun scaling =
          run("ffmpeg",
              {"-nostdin", "-v", "error", "-i", capture_path("demo.png"), "-vf",
               "scale=720:540:flags=area", "-f", "rawvideo", "-pix_fmt", "gray", "pipe:1"},
              {.stdout_fd = scaled.fd()});
      EXPECT_EQ(scaling.status, 0) << scaling.error_output;
      EXPECT_TRUE(scaled.contents() == std::string(picture.begin(), picture.end()))
          << "the cover is not the still at 4:3";
    }
  }
}

// The still is the frame the video shows at its moment, pixel for pixel in the text mode's two
// colours; the thumbnail is the same at 4:3, small enough for the archives that take 400 by 300.
TEST(Capture, StillsAreTheVideosFrameAtTheirMoment) {
  const std::string still = capture_path("demo.png");
  EXPECT_EQ(probe(still)["width"] + "x" + probe(still)["height"], "720x400");
  DecodedFrames stills{still, 720, 400};
  std::vector<unsigned char> frame;
  ASSERT_TRUE(stills.next(frame));
  EXPECT_TRUE(two_colours(frame));
  const auto seen = read_screen(frame, vga_font());
  ScreenAt model{scripts::demo};
  EXPECT_EQ(seen, model(still_moment));
  EXPECT_FALSE(stills.next(frame));

  DecodedFrames video{capture_path("demo.mp4"), 720, 400};
  for (std::int64_t k = 0; k <= still_moment * 70 / second; ++k) {
    ASSERT_TRUE(video.next(frame));
  }
  EXPECT_EQ(read_screen(frame, vga_font()), seen);

  const std::string thumbnail = capture_path("demo-400x300.png");
  auto fields = probe(thumbnail);
  EXPECT_EQ(fields["width"] + "x" + fields["height"], "400x300");
  EXPECT_LE(std::filesystem::file_size(thumbnail), 64U * 1024);
}

} // namespace
