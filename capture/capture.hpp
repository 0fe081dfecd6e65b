// What a capture is to be (demo, speed, start, font, video, picture or still), and the ffmpeg
// command line that encodes it.
#pragma once

#include "engine/console_speed.hpp"
#include "engine/script.hpp"

#include <cstdint>
#include <string>
#include <vector>

// What to capture and how: which demo, at which console speed, from which moment on, drawn with
// which font, as a video, an animated picture or a still of one moment.
struct Capture {
  enum class Format {
    video,   // H.264 in MP4 at the text mode's 70 frames a second, shown at 4:3, with a cover
    picture, // a GIF of 50 frames a second, pixel for pixel, looping forever
    still,   // a PNG of the frame a video shows at the moment, scaled to the size asked
  };

  std::string demo = "demo";
  long speed = engine::default_console_speed;
  std::int64_t from_ns = 0;
  std::string font = DEMOS_VGA_FONT;
  Format format = Format::video;
  // The moment of a still and of a video's cover; negative: the demo's own (cover_moment_ns).
  std::int64_t at_ns = -1;
  // A still's size in pixels; 0 by 0: the screen's own, pixel for pixel.
  int still_width = 0;
  int still_height = 0;

  int frames_per_second() const { return format == Format::picture ? 50 : 70; }

  // The moment that shows the demo best: the main demo's chain of boxes mid-travel, the short
  // demo's two boxes under its messages.
  std::int64_t cover_moment_ns() const;

  // Plays the demo, draws its frames and has ffmpeg encode them into the file, whole or not at
  // all. Throws std::runtime_error with the reason when it cannot.
  void save(const std::string& file) const;

  // How long the picture's last frame is shown, in hundredths of a second.
  int last_frame_delay_cs(const engine::Script& script) const;

  // ffmpeg's command line for frames of this size, into the file given.
  std::vector<std::string> encoder_command(int width, int height, int final_delay_cs,
                                           const std::string& file) const;
};
