// Makes a capture: plays the demo onto the frame sampler, draws each frame and hands it to ffmpeg,
// writing the file whole or not at all.

#include "capture/capture.hpp"

#include "capture/encoder.hpp"
#include "capture/frame_sampler.hpp"
#include "capture/screen_picture.hpp"
#include "capture/vga_font.hpp"
#include "catalog/demos.hpp"

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

// The file being made, removed should a signal end the capture before it is whole.
char temporary[4096];

void remove_temporary_and_end(int signal) {
  unlink(temporary);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// A hidden file beside the one to make, renamed to it once it is whole.
std::string make_temporary(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  const std::string name =
      (slash == std::string::npos ? "" : file.substr(0, slash + 1)) + ".qav-capture.XXXXXX";
  if (name.size() >= sizeof temporary) {
    throw std::runtime_error{"the folder's name is too long"};
  }
  std::memcpy(temporary, name.c_str(), name.size() + 1);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    std::signal(signal, remove_temporary_and_end);
  }
  const int fd = mkstemp(temporary);
  if (fd < 0) {
    throw std::runtime_error{std::string{"cannot make a file beside it: "} + std::strerror(errno)};
  }
  // mkstemp makes it the owner's alone; it is to be as any new file is, under the umask.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  return temporary;
}

} // namespace

std::vector<std::string> Capture::encoder_command(int width, int height, int final_delay_cs,
                                                  const std::string& file) const {
  std::vector<std::string> command{"ffmpeg",
                                   "-nostdin",
                                   "-hide_banner",
                                   "-loglevel",
                                   "error",
                                   "-f",
                                   "rawvideo",
                                   "-pix_fmt",
                                   "gray",
                                   "-video_size",
                                   std::to_string(width) + "x" + std::to_string(height),
                                   "-framerate",
                                   std::to_string(frames_per_second()),
                                   "-i",
                                   "pipe:0"};
  if (format == Format::video) {
    // The text mode's pixels were not square: its monitor showed them at 4:3. The screen
    // scrolls by some 170 pixels a frame while the chain travels: x264 finds that motion with an
    // uneven multi-hexagon search as wide, which its presets' own searches are not; with it the
    // slow preset does better than the slower ones do without. A key frame every 10 seconds
    // rather than every 3.6: scrolling text needs few. One thread costs the least CPU in all.
    const std::string aspect = std::to_string(4 * height) + "/" + std::to_string(3 * width);
    command.insert(command.end(),
                   {"-vf", "setsar=" + aspect, "-c:v", "libx264", "-preset", "slow", "-crf", "18",
                    "-x264-params", "me=umh:merange=200:keyint=700", "-threads", "1", "-pix_fmt",
                    "yuv420p", "-movflags", "+faststart", "-f", "mp4"});
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

  const int final_delay_cs = format == Format::picture ? last_frame_delay_cs(script) : 0;

  ScreenPicture picture{vga_font};
  const std::string made = make_temporary(file);
  try {
    Encoder encoder{encoder_command(picture.width(), picture.height(), final_delay_cs, made)};
    FrameSampler sampler{speed, frames_per_second(), from_ns,
                         [&](const ConsoleModel& console, bool changed) {
                           if (changed) {
                             picture.draw(console.screen());
                           }
                           encoder.write(picture.pixels());
                         }};
    (void)engine::play(script, sampler);
    sampler.finish();
    encoder.finish();
    if (std::rename(made.c_str(), file.c_str()) != 0) {
      throw std::runtime_error{std::string{"cannot rename "} + made + ": " + std::strerror(errno)};
    }
  } catch (...) {
    unlink(made.c_str());
    throw;
  }
}
