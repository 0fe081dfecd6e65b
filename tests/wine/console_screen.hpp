// The screen a console shows: its active buffer as the console itself holds it.
#pragma once

#include <string>
#include <vector>

struct Screen {
  int columns = 0; // the buffer's size
  int rows = 0;
  int window_columns = 0; // the window's
  int window_rows = 0;
  std::size_t cursor_row = 0; // within the window
  std::size_t cursor_column = 0;
  std::vector<std::string> lines; // the window's rows, each without its spaces at the end
  std::string text;               // the window's rows one after another, as they are
};

// The active buffer of the console this process is attached to, as it is now.
Screen active_screen();
