// The launcher's console, seen from beside it: attached to, and waited on for what it shows.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

using Clock = std::chrono::steady_clock;

// Attaches to the console of FOLDER's qav-watch.exe once its demo runs: the launcher has looked
// at its console by then, so that being attached does not change what it sees. Ctrl-C pressed
// there is left to the launcher. Checks and says whether it could.
bool attach_to_launcher(const std::string& folder);

// Waits until the screen shows `text`: the moment it was first seen, or none by `until`.
std::optional<Clock::time_point> await_text(std::string_view text, Clock::time_point until);
