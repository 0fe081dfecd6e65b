// The VGA text mode's font as 9-by-16 cells of on and off pixels, drawn by FreeType from a
// TrueType copy.
#pragma once

#include <array>
#include <bitset>
#include <string>

// The VGA text mode's font, 9 pixels by 16 for each printable ASCII character, as FreeType draws
// it from a TrueType copy of that font at 16 pixels: every pixel on or off, nothing between. The
// cell is as wide as the font's characters advance: 9 for the text mode's own font, 8 for its
// narrower sister, which would make a narrower picture.
class VgaFont {
public:
  static constexpr int widest_cell = 9;
  static constexpr int cell_height = 16;
  static constexpr char first = ' ';
  static constexpr char last = '~';

  // Row by row from the top left, `cell_width()` pixels a row.
  using Glyph = std::bitset<widest_cell * cell_height>;

  // Throws std::runtime_error, with the reason, when the file cannot be read as such a font.
  explicit VgaFont(const std::string& path);

  // The glyph of a printable ASCII character; any other byte is drawn as a space.
  int cell_width() const { return cell_width_; }

  const Glyph& glyph(char c) const {
    return c >= first && c <= last ? glyphs_[static_cast<std::size_t>(c - first)] : glyphs_[0];
  }

private:
  int cell_width_ = 0;
  std::array<Glyph, last - first + 1> glyphs_;
};
