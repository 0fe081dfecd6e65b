// The launcher's one-line messages on standard error, with Windows' own words for a failed call.
#pragma once

#include <string>
#include <string_view>

namespace winwatch {

inline constexpr const char* name = "qav-watch";

// What Windows says of an error code (GetLastError's), as one line without its final period.
std::string reason(unsigned long error);

// Writes "qav-watch: WHAT" as one line on standard error.
void say(std::string_view what);

// Writes "qav-watch: WHAT: REASON" for the error code given.
void say_failed(std::string_view what, unsigned long error);

} // namespace winwatch
