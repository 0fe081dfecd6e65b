// Reads ffmpeg's decoded frames from a pipe, and each frame's cells back as glyphs.

#include "decoded_frames.hpp"

#include "console/console_model.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

DecodedFrames::DecodedFrames(const std::string& file, int width, int height, int rate,
                             const std::string& stream)
    : frame_bytes_{static_cast<std::size_t>(width * height)} {
  std::vector<std::string> args{"-nostdin", "-v", "error", "-i", file, "-map", "0:" + stream};
  if (rate > 0) {
    args.insert(args.end(), {"-vf", "fps=" + std::to_string(rate)});
  }
  args.insert(args.end(), {"-f", "rawvideo", "-pix_fmt", "gray", "pipe:1"});
  ffmpeg_ = std::make_unique<Child>("ffmpeg", args, ChildOptions{.stdout_fd = pipe_.write});
  pipe_.close_write();
}

bool DecodedFrames::next(std::vector<unsigned char>& frame) {
  frame.resize(frame_bytes_);
  std::size_t got = 0;
  while (got < frame_bytes_) {
    const ssize_t n = read(pipe_.read, frame.data() + got, frame_bytes_ - got);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      throw std::runtime_error{std::string{"cannot read ffmpeg's frames: "} + std::strerror(errno)};
    }
    if (n == 0) {
      const ChildRun run = ffmpeg_->wait();
      EXPECT_TRUE(run.exited && run.status == 0) << "ffmpeg: " << run.error_output;
      EXPECT_EQ(got, 0U) << "the last frame is cut short";
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::vector<std::string> read_screen(const std::vector<unsigned char>& frame, const VgaFont& font) {
  const auto width = static_cast<std::size_t>(font.cell_width()) * ConsoleModel::columns;
  std::vector<std::string> rows;
  for (std::size_t row = 0; row < ConsoleModel::screen_rows; ++row) {
    std::string text;
    for (std::size_t column = 0; column < ConsoleModel::columns; ++column) {
      VgaFont::Glyph cell;
      for (int y = 0; y < VgaFont::cell_height; ++y) {
        for (int x = 0; x < font.cell_width(); ++x) {
          const std::size_t pixel =
              (row * VgaFont::cell_height + static_cast<std::size_t>(y)) * width +
              column * static_cast<std::size_t>(font.cell_width()) + static_cast<std::size_t>(x);
          cell[static_cast<std::size_t>(y * font.cell_width() + x)] = frame[pixel] >= 0x55;
        }
      }
      char nearest = ' ';
      std::size_t distance = cell.size() + 1;
      for (char c = VgaFont::first; c <= VgaFont::last; ++c) {
        const std::size_t d = (cell ^ font.glyph(c)).count();
        if (d < distance) {
          nearest = c;
          distance = d;
        }
      }
      text += nearest;
    }
    rows.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
  }
  return rows;
}
