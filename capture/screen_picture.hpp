// The console's screen as the text mode's pixels: 720 by 400, light grey on black.
#pragma once

#include "capture/vga_font.hpp"
#include "console/console_model.hpp"

#include <cstddef>
#include <string>
#include <vector>

// The console's screen as the text mode shows it: 80 by 25 cells of the VGA font, light grey
// (#aaaaaa) on black, one byte of grey a pixel, row by row.
class ScreenPicture {
public:
  static constexpr unsigned char black = 0x00;
  static constexpr unsigned char grey = 0xaa;

  explicit ScreenPicture(const VgaFont& font);

  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<unsigned char>& pixels() const { return pixels_; }

  // Draws the rows given, top first, each padded with spaces to the screen's width.
  void draw(const std::vector<std::string>& rows);

private:
  const VgaFont& font_;
  int width_;
  int height_;
  std::vector<unsigned char> pixels_;
};
