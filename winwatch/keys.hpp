// The one key that ends the held picture, or lets a message be read before its window closes.
#pragma once

#include <string>

namespace winwatch {

// Drops what was typed before, then shows the title given, which says what a key does, and waits
// for a key to be pressed. False when Ctrl-C or Ctrl-Break came instead, or the console's input
// cannot be read.
bool await_a_key(const std::string& title);

} // namespace winwatch
