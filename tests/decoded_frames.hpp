// A video or animated picture decoded back into grey frames, and its screens read back as text.
#pragma once

#include "child_process.hpp"

#include "capture/vga_font.hpp"

#include <memory>
#include <string>
#include <vector>

// The frames of a video, an animated picture or a still as ffmpeg decodes them, one byte of grey a
// pixel, read one frame at a time from its output as it decodes.
class DecodedFrames {
public:
  // `rate`, when given, resamples to that many frames a second, as a player would show them.
  // `stream` is ffmpeg's name of the video stream to decode: the first, the video itself, unless
  // told otherwise (a video's cover is its second).
  DecodedFrames(const std::string& file, int width, int height, int rate = 0,
                const std::string& stream = "v:0");

  // The next frame, or false after the last; then ffmpeg must have ended well.
  bool next(std::vector<unsigned char>& frame);

private:
  std::size_t frame_bytes_;
  Pipe pipe_;
  std::unique_ptr<Child> ffmpeg_;
};

// The screen a frame shows: each cell read as the glyph of the font nearest to it, the rows with
// their spaces at the end left off, as the console model gives them.
std::vector<std::string> read_screen(const std::vector<unsigned char>& frame, const VgaFont& font);
