// Reads the relay's command line.

#include "relay/options.hpp"

#include "cli/command_line.hpp"
#include "engine/console_speed.hpp"

#include <array>

namespace relay {

Options parse_options(int argc, char* argv[]) {
  static constexpr std::array known{cli::Option{"speed", true}};
  const cli::Reading reading = cli::read(argc, argv, known);
  Options options;
  options.speed = engine::default_console_speed;
  options.help = reading.help;
  options.error = reading.error;
  for (const auto& [name, value] : reading.given) {
    if (const auto speed = cli::read_speed(value, 0, options.error)) {
      options.speed = *speed;
    } else {
      return options;
    }
  }
  options.command = reading.operands;
  if (!reading.help && options.error.empty() && options.command.empty()) {
    options.error = "no program to run";
  }
  return options;
}

std::string help(const char* name) {
  return std::string{"Usage: "} + name +
         " [--speed S] PROGRAM [ARG...]\n"
         "Runs PROGRAM and passes on what it writes at S characters a second, as a console\n"
         "that draws at that speed would show it (" +
         cli::speeds_taken() +
         ").\n\n"
         "Exit status: PROGRAM's; 126 when it cannot be run, 127 when it is not found; 1 when\n"
         "the relay's own output fails or a system call of its own does; 2 for a bad command\n"
         "line. A PROGRAM killed by a signal ends the relay by the same signal.\n";
}

} // namespace relay
