// A line as the console gets it, and lines padded to their width at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace engine {

// A line exactly as it goes to the console: a glyph, then spaces up to the line's width. The
// width is the choreography: the console wraps at 80 columns, so a line of 81 starts the next one
// a column further right, and every other width makes the picture jump.
using Line = std::string_view;

inline constexpr std::string_view blank = "";
inline constexpr std::string_view edge = "#######";
inline constexpr std::string_view side = "#     #";

// A line held at its full width in constant storage. The compiler does the padding, so the
// program writes every line straight from here, as it is.
template <std::size_t Width> class PaddedLine {
public:
  consteval explicit PaddedLine(std::string_view glyph) {
    if (glyph.size() > Width) {
      throw "a glyph must fit in its line";
    }
    text_.fill(' ');
    for (std::size_t i = 0; i < glyph.size(); ++i) {
      if (glyph[i] < ' ' || glyph[i] > '~') {
        throw "a glyph is printable 7-bit ASCII";
      }
      text_[i] = glyph[i];
    }
  }

  constexpr operator Line() const { return {text_.data(), text_.size()}; }

private:
  std::array<char, Width> text_{};
};

} // namespace engine
