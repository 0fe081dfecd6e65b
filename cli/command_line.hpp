// The one command-line grammar of the tools: options before the operands, read by getopt_long
// up to the first operand, `--option=value` and `--option value` alike; `--help` on standard
// output with status 0; a bad use as one line with its reason and where the help is, status 2.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

// An option a tool takes, known by its long name alone (`--help` is every tool's).
struct Option {
  const char* name; // without its dashes
  bool takes_value;
};

struct Reading {
  // Each option given, in order: its name as the tool spelt it, and its value ("" for none).
  std::vector<std::pair<std::string_view, std::string_view>> given;
  std::span<char* const> operands; // everything from the first operand, or after `--`, on
  bool help = false;
  std::string error; // why the command line cannot be used; empty when it can
};

// Reads the options of `argv` (its first element is the program's name) until the first operand.
// An option may be shortened to any prefix that names it alone, as getopt_long allows.
Reading read(int argc, char* argv[], std::span<const Option> options);

// Says a bad use on standard error, as one line with the reason and the line that tells where
// the help is; returns 2, the status of a bad command line.
int bad_use(std::string_view program, std::string_view reason);

// Writes the help to standard output; returns 0, or 1 with the reason on standard error when it
// cannot be written.
int help(std::string_view program, std::string_view text);

// A console speed given as an option's value: a whole number of characters a second from
// `slowest` to engine::fastest_console_speed; otherwise the reason it cannot be used.
std::optional<long> read_speed(std::string_view value, long slowest, std::string& error);

// The speeds a tool takes, as its help says them: "default D; 0: as it comes; at most F".
std::string speeds_taken();

} // namespace cli
