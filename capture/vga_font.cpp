// Reads the VGA font's printable ASCII glyphs with FreeType, each into a 9-by-16 cell of on and
// off pixels.

#include "capture/vga_font.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// FreeType's errors in words: Debian's FreeType is built without its own table of them.
std::string in_words(FT_Error error) {
  switch (error) {
  case FT_Err_Cannot_Open_Resource:
    return "cannot open it";
  case FT_Err_Unknown_File_Format:
    return "not a font FreeType knows";
  case FT_Err_Invalid_File_Format:
    return "a damaged font";
  case FT_Err_Invalid_Pixel_Size:
    return "it has no glyphs of that size";
  case FT_Err_Invalid_Glyph_Index:
  case FT_Err_Invalid_Character_Code:
    return "it has no such glyph";
  case FT_Err_Out_Of_Memory:
    return std::strerror(ENOMEM);
  default:
    return "FreeType error " + std::to_string(error);
  }
}

std::runtime_error font_error(const std::string& path, const std::string& what, FT_Error error) {
  return std::runtime_error{path + ": " + what + ": " + in_words(error)};
}

// The font must be a file that can be read: said with the system's reason, before FreeType
// tries it (a pipe would keep it waiting for ever).
void check_readable_file(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    throw std::runtime_error{path + ": " + std::strerror(errno)};
  }
  struct stat status {};
  const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  close(fd);
  if (!regular) {
    throw std::runtime_error{path + ": not a font file"};
  }
}

} // namespace

VgaFont::VgaFont(const std::string& path) {
  check_readable_file(path);
  FT_Library library = nullptr;
  if (const FT_Error error = FT_Init_FreeType(&library)) {
    throw font_error(path, "cannot start FreeType", error);
  }
  const std::unique_ptr<FT_LibraryRec_, decltype(&FT_Done_FreeType)> library_owner{
      library, FT_Done_FreeType};
  FT_Face face = nullptr;
  if (const FT_Error error = FT_New_Face(library, path.c_str(), 0, &face)) {
    throw font_error(path, "cannot read the font", error);
  }
  const std::unique_ptr<FT_FaceRec_, decltype(&FT_Done_Face)> face_owner{face, FT_Done_Face};
  if (const FT_Error error = FT_Set_Pixel_Sizes(face, 0, cell_height)) {
    throw font_error(path, "cannot size the font to 16 pixels", error);
  }
  // The baseline sits as far below the cell's top as the font ascends.
  const long baseline = face->size->metrics.ascender >> 6;
  for (char c = first; c <= last; ++c) {
    if (const FT_Error error =
            FT_Load_Char(face, static_cast<unsigned char>(c),
                         FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME)) {
      throw font_error(path, std::string{"cannot draw '"} + c + "'", error);
    }
    const FT_GlyphSlot slot = face->glyph;
    const long advance = slot->advance.x >> 6;
    if (c == first) {
      cell_width_ = static_cast<int>(advance);
    }
    if (advance != cell_width_ || advance < 1 || advance > widest_cell) {
      throw std::runtime_error{
          path + ": not a font of cells of one width, at most 9 pixels, at 16 pixels"};
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    Glyph& glyph = glyphs_[static_cast<std::size_t>(c - first)];
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const unsigned char* bits = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
        const long y = baseline - slot->bitmap_top + static_cast<long>(row);
        const long x = slot->bitmap_left + static_cast<long>(column);
        const bool on = (bits[column / 8] >> (7 - column % 8)) & 1;
        if (on && (y < 0 || y >= cell_height || x < 0 || x >= cell_width_)) {
          throw std::runtime_error{path + ": '" + std::string(1, c) + "' falls outside its cell"};
        }
        if (on) {
          glyph.set(static_cast<std::size_t>(y * cell_width_ + x));
        }
      }
    }
  }
}
