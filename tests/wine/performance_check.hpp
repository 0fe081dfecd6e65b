// What the launcher made of the stand-in, checked from beside it.
#pragma once

#include <string>

// Attaches to the console of FOLDER's launcher, waits for the stand-in's banner, and checks the
// screen against the console model's, and, for a speed other than 0, the drawing's pace; writes
// the rows it read to `rows_file`, one a line. Returns the checks' verdict.
int check_performance(const std::string& folder, long speed, const std::string& rows_file);
