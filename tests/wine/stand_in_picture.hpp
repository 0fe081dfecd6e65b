// What the stand-in must look like on a console of 80 by 25: the console model's rows and cursor
// for its script, and the bytes it writes on Windows, by which its drawing is timed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct StandInPicture {
  std::vector<std::string> rows; // the 25 rows of the screen, each without its spaces at the end
  std::size_t cursor_row = 0;    // where the next character goes, on the screen
  std::size_t cursor_column = 0;
  std::string bytes; // its whole output, CR LF after each counter number
};

StandInPicture stand_in_picture();
