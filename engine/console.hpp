#pragma once

#include "engine/line.hpp"

#include <iosfwd>

namespace engine {

// Writes the whole line in one write and flushes it, so that it is on the screen as soon as it
// is written: a terminal would otherwise hold a line without a newline in its buffer.
void print_line(std::ostream& out, Line line);

// Writes n in decimal and ends the counter line with endl, which flushes it.
void print_counter(std::ostream& out, int n);

} // namespace engine
