// The file ffmpeg made, checked to be whole before it takes the name asked for: ffmpeg's own
// status alone may call a truncated file done.
#pragma once

#include "capture/capture.hpp"

#include <cstdint>
#include <string>

// Checks the file made at `path` in `format` from `frames` frames sent at `frames_per_second`:
// an MP4's top-level boxes fill it exactly and include its index (moov), and its first video
// stream holds every frame; a GIF ends with its trailer and lasts as long as the frames sent; a
// PNG ends with its last chunk. Throws std::runtime_error with what is wrong.
void check_made_file(const std::string& path, Capture::Format format, std::int64_t frames,
                     int frames_per_second);
