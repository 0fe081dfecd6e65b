// The videos decoded back: their format as ffprobe reads it, and the screens of their frames,
// cell by cell, against what the console model shows at each frame's moment.

#include "capture_harness.hpp"
#include "demo_scripts.hpp"
#include "readme_figures.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(Capture, VideosAreH264InMp4At720By400And70FramesASecondShownAt4By3) {
  for (const auto* name : {"demo.mp4", "demo_short.mp4"}) {
    SCOPED_TRACE(name);
    auto fields = probe(capture_path(name));
    EXPECT_EQ(fields["codec_name"], "h264");
    EXPECT_EQ(fields["pix_fmt"], "yuv420p");
    EXPECT_EQ(fields["width"] + "x" + fields["height"], "720x400");
    EXPECT_EQ(fields["r_frame_rate"], "70/1");
    EXPECT_EQ(fields["sample_aspect_ratio"], "20:27");
    EXPECT_EQ(fields["display_aspect_ratio"], "4:3");
    EXPECT_NEAR(std::stod(fields["duration"] + "0"), 29.0, 1.0 / 70 + 0.01);
    EXPECT_NEAR(std::stod(fields["duration"] + "0"),
                readme_figure("`build/default/captures/demo.mp4`", "seconds"), 0.5);

    // Playable while it loads: the index (moov) comes before the frames (mdat).
    std::ifstream file{capture_path(name), std::ios::binary};
    std::string head(256 * 1024, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    EXPECT_LT(head.find("moov"), head.find("mdat"));
  }
}

// The sizes the README gives, which a reader sharing them goes by.
TEST(Capture, VideosAreTheSizesTheReadmeGives) {
  expect_about(readme_figure("The main demo's video is about", "KB") * 1000,
               static_cast<double>(std::filesystem::file_size(capture_path("demo.mp4"))));
  expect_about(readme_figure("the short demo's about", "MB") * 1'000'000,
               static_cast<double>(std::filesystem::file_size(capture_path("demo_short.mp4"))));
}

// Every frame of a second of the art phase, where the main demo's chain jolts and the short
// demo draws its boxes; a frame in 29 elsewhere.
TEST(Capture, VideosShowTheModelsScreenAtEachFramesMoment) {
  struct Video {
    const char* name;
    engine::Script script;
    std::int64_t stretch_from;
  };
  for (const Video& video : {Video{"demo.mp4", scripts::demo, 16 * second},
                             Video{"demo_short.mp4", scripts::demo_short, 28 * second}}) {
    SCOPED_TRACE(video.name);
    ScreenAt model{video.script};
    DecodedFrames frames{capture_path(video.name), 720, 400};
    const std::int64_t count = expect_screens(frames, model, 0, 70, [&](std::int64_t k, auto t) {
      return (t >= video.stretch_from && t < video.stretch_from + second) || k % 29 == 0;
    });
    EXPECT_EQ(count, model.end_ns() * 70 / second + 1);
  }
}

} // namespace
