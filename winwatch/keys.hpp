// The one key that ends the held picture, or lets a message be read before its window closes.
#pragma once

namespace winwatch {

// Drops what was typed before, then waits for a key to be pressed. False when Ctrl-C or
// Ctrl-Break came instead, or the console's input cannot be read.
bool await_a_key();

} // namespace winwatch
