// What a capture is to be (demo, speed, start, font, video or picture), and the ffmpeg command
// line that encodes it.
#pragma once

#include "engine/console_speed.hpp"
#include "engine/script.hpp"

#include <cstdint>
#include <string>
#include <vector>

// What to capture and how: which demo, at which console speed, from which moment on, drawn with
// which font, as a video or as an animated picture.
struct Capture {
  enum class Format {
    video,   // H.264 in MP4 at the text mode's 70 frames a second, shown at 4:3
    picture, // a GIF of 50 frames a second, pixel for pixel, looping forever
  };

  std::string demo = "demo";
  long speed = engine::default_console_speed;
  std::int64_t from_ns = 0;
  std::string font = DEMOS_VGA_FONT;
  Format format = Format::video;

  int frames_per_second() const { return format == Format::video ? 70 : 50; }

  // Plays the demo, draws its frames and has ffmpeg encode them into the file, whole or not at
  // all. Throws std::runtime_error with the reason when it cannot.
  void save(const std::string& file) const;

  // How long the picture's last frame is shown, in hundredths of a second.
  int last_frame_delay_cs(const engine::Script& script) const;

  // ffmpeg's command line for frames of this size, into the file given.
  std::vector<std::string> encoder_command(int width, int height, int final_delay_cs,
                                           const std::string& file) const;
};
