// Reads the launcher's command line, with the words and limits of the relay's and `watch`'s.

#include "winwatch/options.hpp"

#include "cli/command_line.hpp"
#include "engine/console_speed.hpp"

#include <array>
#include <string_view>

namespace winwatch {

Options parse_options(int argc, char* argv[]) {
  static constexpr std::array known{cli::Option{"speed", true}, cli::Option{"new-window", false}};
  const cli::Reading reading = cli::read(argc, argv, known);
  Options options;
  options.speed = engine::default_console_speed;
  options.help = reading.help;
  options.error = reading.error;
  for (const auto& [name, value] : reading.given) {
    if (name == std::string_view{"new-window"}) {
      options.new_window = true;
    } else if (const auto speed = cli::read_speed(value, 0, options.error)) {
      options.speed = *speed;
    } else {
      return options;
    }
  }
  if (!options.error.empty() || options.help) {
    return options;
  }
  if (reading.operands.size() > 1) {
    std::string all;
    for (const char* operand : reading.operands) {
      all.append(all.empty() ? "" : " ").append(operand);
    }
    options.error = "one demo at a time, not '" + all + "'";
  } else if (reading.operands.size() == 1) {
    options.demo = reading.operands.front();
    if (options.demo != "demo" && options.demo != "demo_short") {
      options.error = "there is no demo called '" + options.demo + "': demo or demo_short";
    }
  }
  return options;
}

std::string help(const char* name) {
  return std::string{"Usage: "} + name +
         " [--speed S] [--new-window] [demo|demo_short]\n"
         "Plays the demo (default: demo), found beside this program, in a console of its own\n"
         "exactly 80 columns by 25 rows that wraps, drawn at S characters a second\n(" +
         cli::speeds_taken() +
         ").\n"
         "Keys typed during the performance are ignored; Ctrl-C ends it at once. The last\n"
         "picture stays until a key is pressed; then your console comes back as it was.\n"
         "Started with a console of its own (a double-click), or with --new-window, it opens\n"
         "in a classic console window, which takes the size.\n\n"
         "Exit status: the demo's; 1 when the demo is missing, cannot start or ends by a\n"
         "fault, or a call of the launcher's own fails; 2 for a bad command line; Ctrl-C's\n"
         "as Windows reports it.\n";
}

} // namespace winwatch
