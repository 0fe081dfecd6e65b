// The user's console around a performance: what must come back as it was.
#pragma once

#include <string>

// Writes this console's state to FILE: its title, its input and output modes, the active
// buffer's size, window and cursor, and the window's text. Prints nothing, as that would change
// the text.
int note_user_console(const std::string& file);

// Compares this console's state now with the one in FILE, and prints the checks.
int check_user_console(const std::string& file);
