// The captures decoded back: their format as ffprobe reads it, and the screens of their frames,
// cell by cell, against what the console model shows at each frame's moment.

#include "child_process.hpp"
#include "decoded_frames.hpp"
#include "recording.hpp"

#include "capture/console_model.hpp"
#include "capture/vga_font.hpp"
#include "demo/script.hpp"
#include "demo_short/script.hpp"
#include "engine/console_speed.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

constexpr std::int64_t second = 1'000'000'000;

// The screen of an 80-by-25 console drawing a performance at the default speed, at moments that
// come in order: the characters drawn by a moment are those whose time has come, a character's
// time being the pauses before it and one character's time for each character up to it.
class ScreenAt {
public:
  explicit ScreenAt(const engine::Script& script) : recording_{Recording::of(script)} {}

  std::vector<std::string> operator()(std::int64_t moment_ns) {
    while (drawn_ < recording_.output.size() && time_of(drawn_ + 1) <= moment_ns) {
      console_.draw(std::string_view{recording_.output}.substr(drawn_++, 1));
    }
    // Until the console has scrolled, the rows below the last written are empty.
    auto screen = console_.screen();
    screen.resize(ConsoleModel::screen_rows);
    return screen;
  }

  // When the performance is over, its closing pause included.
  std::int64_t end_ns() { return time_of(recording_.output.size()) + pauses_after(); }

private:
  // When the character with this count (from 1) is drawn.
  std::int64_t time_of(std::size_t count) {
    std::int64_t paused = 0;
    for (const auto& pause : recording_.pauses) {
      if (pause.after_bytes < count) {
        paused += std::chrono::nanoseconds{pause.duration}.count();
      }
    }
    return paused + static_cast<std::int64_t>(count) * second / engine::default_console_speed;
  }
  std::int64_t pauses_after() const {
    std::int64_t paused = 0;
    for (const auto& pause : recording_.pauses) {
      if (pause.after_bytes == recording_.output.size()) {
        paused += std::chrono::nanoseconds{pause.duration}.count();
      }
    }
    return paused;
  }

  Recording recording_;
  ConsoleModel console_;
  std::size_t drawn_ = 0;
};

std::string capture_path(const std::string& name) {
  return std::string{DEMO_BUILD_DIR} + "/captures/" + name;
}

// ffprobe's word on the first video stream: each field as it names it.
std::map<std::string, std::string> probe(const std::string& file) {
  TempFile out;
  const ChildRun run =
      ::run("ffprobe",
            {"-v", "error", "-select_streams", "v:0", "-show_entries",
             "stream=codec_name,width,height,r_frame_rate,sample_aspect_ratio,display_aspect_"
             "ratio,pix_fmt,duration",
             "-of", "default=noprint_wrappers=1", file},
            {.stdout_fd = out.fd()});
  EXPECT_TRUE(run.exited && run.status == 0) << run.error_output;
  std::map<std::string, std::string> fields;
  std::istringstream lines{out.contents()};
  for (std::string line; std::getline(lines, line);) {
    fields[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  }
  return fields;
}

const VgaFont& vga_font() {
  static const VgaFont font{DEMOS_VGA_FONT};
  return font;
}

// Checks every frame from `from_ns` on, `frames_per_second` of them a second: each of those the
// predicate picks reads as the model's screen at its moment. Returns how many frames there were.
template <class Pick>
std::int64_t expect_screens(DecodedFrames& frames, ScreenAt& model, std::int64_t from_ns,
                            int frames_per_second, Pick pick) {
  std::vector<unsigned char> frame;
  std::int64_t k = 0;
  int wrong = 0;
  for (; frames.next(frame); ++k) {
    const std::int64_t moment = from_ns + k * second / frames_per_second;
    const auto expected = model(moment);
    if (pick(k, moment) && wrong < 3) {
      const auto seen = read_screen(frame, vga_font());
      EXPECT_EQ(seen, expected) << "frame " << k << " at " << moment << " ns";
      wrong += seen != expected;
    }
  }
  return k;
}

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

    // Playable while it loads: the index (moov) comes before the frames (mdat).
    std::ifstream file{capture_path(name), std::ios::binary};
    std::string head(256 * 1024, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    EXPECT_LT(head.find("moov"), head.find("mdat"));
  }
}

// Every frame of a second of the art phase, where the main demo's chain jolts and the short
// demo draws its boxes; a frame in 29 elsewhere.
TEST(Capture, VideosShowTheModelsScreenAtEachFramesMoment) {
  struct Video {
    const char* name;
    engine::Script script;
    std::int64_t stretch_from;
  };
  for (const Video& video : {Video{"demo.mp4", demo::script, 16 * second},
                             Video{"demo_short.mp4", demo_short::script, 28 * second}}) {
    SCOPED_TRACE(video.name);
    ScreenAt model{video.script};
    DecodedFrames frames{capture_path(video.name), 720, 400};
    const std::int64_t count = expect_screens(frames, model, 0, 70, [&](std::int64_t k, auto t) {
      return (t >= video.stretch_from && t < video.stretch_from + second) || k % 29 == 0;
    });
    EXPECT_EQ(count, model.end_ns() * 70 / second + 1);
  }
}

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

  ScreenAt model{demo::script};
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
// it was being made in. The font is not there; ffmpeg stops reading and fails.
TEST(Capture, FailsWithTheReasonAndLeavesNothingBehind) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("qav-capture-test." + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string video = (folder / "demo.mp4").string();
  const std::string picture = (folder / "demo.gif").string();

  const ChildRun no_font = run(CAPTURE_PROGRAM, {"--font", "/nowhere/vga.ttf", "demo", video}, {});
  EXPECT_TRUE(no_font.exited && no_font.status == 1);
  EXPECT_NE(no_font.error_output.find("cannot make " + video + ": /nowhere/vga.ttf"),
            std::string::npos)
      << no_font.error_output;

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
