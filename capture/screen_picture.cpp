// Draws the console's screen into grey pixels, cell by cell, from the VGA font's glyphs.

#include "capture/screen_picture.hpp"

ScreenPicture::ScreenPicture(const VgaFont& font)
    : font_{font}, width_{static_cast<int>(ConsoleModel::columns) * font.cell_width()},
      height_{static_cast<int>(ConsoleModel::screen_rows) * VgaFont::cell_height},
      pixels_(static_cast<std::size_t>(width_ * height_), black) {}

void ScreenPicture::draw(const std::vector<std::string>& rows) {
  const int cell_width = font_.cell_width();
  for (std::size_t row = 0; row < ConsoleModel::screen_rows; ++row) {
    for (std::size_t column = 0; column < ConsoleModel::columns; ++column) {
      const char c = row < rows.size() && column < rows[row].size() ? rows[row][column] : ' ';
      const VgaFont::Glyph& glyph = font_.glyph(c);
      for (int y = 0; y < VgaFont::cell_height; ++y) {
        unsigned char* line = pixels_.data() +
                              (row * VgaFont::cell_height + static_cast<std::size_t>(y)) *
                                  static_cast<std::size_t>(width_) +
                              column * static_cast<std::size_t>(cell_width);
        for (int x = 0; x < cell_width; ++x) {
          line[x] = glyph[static_cast<std::size_t>(y * cell_width + x)] ? grey : black;
        }
      }
    }
  }
}
