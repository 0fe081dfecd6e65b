// Makes a capture: plays the demo onto the frame sampler, draws each frame and hands it to ffmpeg,
// writing the file whole or not at all; a video carries its title, the credit and licence of the
// font drawn in it, and a cover.

#include "capture/capture.hpp"

#include "capture/encoder.hpp"
#include "capture/frame_sampler.hpp"
#include "capture/interruption.hpp"
#include "capture/made_file.hpp"
#include "capture/screen_picture.hpp"
#include "capture/vga_font.hpp"
#include "catalog/demos.hpp"
#include "os/save.hpp"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t nanoseconds_per_second = 1'000'000'000;

// What the video shows, for its title.
std::string title_of(const std::string& demo) {
  if (demo == "demo_short") {
    return "demo_short: the short companion of QAV's 1990s text-mode demo, as the VGA text mode "
           "showed it";
  }
  return demo + ": QAV's 1990s text-mode demo, a chain of boxes drawn by an 80-column console's "
                "wrap, as the VGA text mode showed it";
}

// The font the build draws in, whose licence a video drawn in it is shared under.
constexpr const char* font_credit =
    "Drawn in Px IBM VGA9 by VileR, from The Ultimate Oldschool PC Font Pack "
    "(https://int10h.org/oldschool-pc-fonts/), licensed under CC BY-SA 4.0";
constexpr const char* font_licence =
    "Shared under CC BY-SA 4.0 (https://creativecommons.org/licenses/by-sa/4.0/), the licence of "
    "the font drawn in it";

} // namespace

std::int64_t Capture::cover_moment_ns() const {
  if (at_ns >= 0) {
    return at_ns;
  }
  return demo == "demo_short" ? 28'500'000'000 : 20 * nanoseconds_per_second;
}

std::vector<std::string> Capture::encoder_command(int width, int height, int final_delay_cs,
                                                  const std::string& file) const {
  // -xerror: an error in writing the file's end or closing it fails ffmpeg, which it would
  // otherwise only report.
  std::vector<std::string> command{
      "ffmpeg",      "-nostdin",
      "-xerror",     "-hide_banner",
      "-loglevel",   "error",
      "-f",          "rawvideo",
      "-pix_fmt",    "gray",
      "-video_size", std::to_string(width) + "x" + std::to_string(height),
      "-framerate",  std::to_string(frames_per_second()),
      "-i",          "pipe:0"};
  if (format == Format::video) {
    // The text mode's pixels were not square: its monitor showed them at 4:3. The screen
    // scrolls by some 170 pixels a frame while the chain travels: x264 finds that motion with an
    // uneven multi-hexagon search as wide, which its presets' own searches are not; with it the
    // slow preset does better than the slower ones do without. A key frame every 10 seconds
    // rather than every 3.6: scrolling text needs few. One thread costs the least CPU in all.
    // The cover, a second stream that players and file browsers show as the video's picture, is
    // the frame of the cover's moment at 4:3, so that they show boxes, not the opening's black.
    const std::string aspect = std::to_string(4 * height) + "/" + std::to_string(3 * width);
    const std::int64_t cover_frame = std::max<std::int64_t>(
        0, ((cover_moment_ns() - from_ns) * frames_per_second() + nanoseconds_per_second / 2) /
               nanoseconds_per_second);
    const std::string cover_size = std::to_string(width) + ":" + std::to_string(width * 3 / 4);
    const bool own_font = font == DEMOS_VGA_FONT;
    command.insert(
        command.end(),
        {"-filter_complex",
         "[0:v]split[frames][moment];[frames]setsar=" + aspect + "[video];[moment]select=eq(n\\," +
             std::to_string(cover_frame) + "),scale=" + cover_size + ":flags=area,setsar=1[cover]",
         "-map",
         "[video]",
         "-map",
         "[cover]",
         "-c:v:0",
         "libx264",
         "-preset:v:0",
         "slow",
         "-crf:v:0",
         "18",
         "-x264-params:v:0",
         "me=umh:merange=200:keyint=700",
         "-pix_fmt:v:0",
         "yuv420p",
         "-c:v:1",
         "png",
         "-frames:v:1",
         "1",
         "-disposition:v:1",
         "attached_pic",
         "-threads",
         "1",
         "-metadata",
         "title=" + title_of(demo),
         "-metadata",
         "comment=" + (own_font ? std::string{font_credit} : "Drawn in the font " + font),
         "-metadata",
         own_font ? std::string{"copyright="} + font_licence : "copyright=",
         "-movflags",
         "+faststart",
         "-f",
         "mp4"});
  } else if (format == Format::still) {
    // One frame, as a video draws it; scaled, each pixel the average of those it covers, so that
    // the text stays legible at a thumbnail's size.
    command.insert(command.end(), {"-frames:v", "1"});
    if (still_width > 0 && (still_width != width || still_height != height)) {
      command.insert(command.end(),
                     {"-vf", "scale=" + std::to_string(still_width) + ":" +
                                 std::to_string(still_height) + ":flags=area,setsar=1"});
    }
    command.insert(command.end(), {"-c:v", "png", "-pred", "mixed", "-compression_level", "9",
                                   "-update", "1", "-f", "image2"});
  } else {
    // The palette is the text mode's two colours, so that no pixel changes colour on the way.
    // A frame that shows nothing new is merged into the one before, so that a pause is one
    // frame as long as the pause; the last lasts as long as the frames it stands for.
    command.insert(command.end(), {"-f", "lavfi", "-i",
                                   "color=c=black:s=16x16:d=1,format=rgb24[black];"
                                   "color=c=0xaaaaaa:s=1x1:d=1,format=rgb24[grey];"
                                   "[black][grey]overlay=format=rgb[out0]",
                                   "-filter_complex",
                                   "[0:v]mpdecimate=hi=0:lo=0:frac=0[news];"
                                   "[news][1:v]paletteuse=dither=none[picture]",
                                   "-map", "[picture]", "-fps_mode", "vfr", "-final_delay",
                                   std::to_string(final_delay_cs), "-loop", "0", "-f", "gif"});
  }
  command.insert(command.end(), {"-y", file});
  return command;
}

// The picture's last frame stands for every unchanged frame after it: a first pass, with no
// drawing, counts them.
int Capture::last_frame_delay_cs(const engine::Script& script) const {
  std::int64_t last_change = 0;
  FrameSampler counting{speed, frames_per_second(), from_ns,
                        [&, frame = std::int64_t{0}](const ConsoleModel&, bool changed) mutable {
                          stop_if_interrupted();
                          last_change = changed ? frame : last_change;
                          ++frame;
                        }};
  (void)engine::play(script, counting);
  counting.finish();
  return static_cast<int>((counting.frames() - last_change) * 100 / frames_per_second());
}

void Capture::save(const std::string& file) const {
  const VgaFont vga_font{font};
  const std::optional<engine::Script> named = catalog::script_named(demo);
  if (!named) {
    throw std::runtime_error{"there is no demo called '" + demo + "'"};
  }
  const engine::Script script = *named;
  // Every check that needs no work first: the name, the folder, what is there.
  os::Save made{file, os::Save::Target::file_only, "qav-capture"};
  if (made.error() != 0) {
    throw std::runtime_error{made.error() == ESPIPE
                                 ? "not a file: a video or a picture needs a file it can seek in"
                                 : std::strerror(made.error())};
  }

  const int final_delay_cs = format == Format::picture ? last_frame_delay_cs(script) : 0;
  ScreenPicture picture{vga_font};
  // A still is the first frame from its moment on, and only that one.
  const bool still = format == Format::still;
  std::int64_t frames = 0;
  {
    // ffmpeg is given the temporary as a file, so that no name is read as an option or a
    // protocol (pipe:, tee:); it ends before the file is checked, and is ended should anything
    // fail first.
    Encoder encoder{
        encoder_command(picture.width(), picture.height(), final_delay_cs, "file:" + made.path())};
    FrameSampler sampler{speed, frames_per_second(), still ? cover_moment_ns() : from_ns,
                         [&](const ConsoleModel& console, bool changed) {
                           stop_if_interrupted();
                           if (still && frames > 0) {
                             return;
                           }
                           if (changed) {
                             picture.draw(console.screen());
                           }
                           encoder.write(picture.pixels());
                           ++frames;
                         }};
    (void)engine::play(script, sampler);
    sampler.finish();
    if (frames == 0) {
      throw std::runtime_error{"the performance is over by then"};
    }
    encoder.finish();
  }
  check_made_file(made.path(), format, frames, frames_per_second());
  stop_if_interrupted();
  if (const int error = made.commit(); error != 0) {
    throw std::runtime_error{std::string{"cannot put it in place: "} + std::strerror(error)};
  }
}
