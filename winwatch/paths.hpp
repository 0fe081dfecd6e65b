// Where the launcher is, and the programs that stand beside it.
#pragma once

#include <string>
#include <string_view>

namespace winwatch {

// The launcher's own file, in full.
std::wstring own_path();

// A file in the launcher's folder: the demos are found there and only there, never through
// PATH or the current folder.
std::wstring beside_self(std::wstring_view file);

// A file name or path given to a command line, quoted as Windows programs read their arguments
// (a path holds no quotation mark).
std::wstring quoted(std::wstring_view path);

} // namespace winwatch
