// Reads the relay's command line.

#include "relay/options.hpp"

#include "engine/console_speed.hpp"

#include <string_view>

namespace relay {

Options parse_options(std::span<char* const> args) {
  Options options;
  options.speed = engine::default_console_speed;
  std::size_t next = 0;
  while (next < args.size() && args[next][0] == '-') {
    const std::string_view arg = args[next++];
    if (arg == "--") {
      break;
    }
    if (arg == "--help") {
      options.help = true;
      return options;
    }
    std::string_view value;
    if (arg == "--speed") {
      if (next == args.size()) {
        options.error = "--speed needs a number of characters a second";
        return options;
      }
      value = args[next++];
    } else if (arg.starts_with("--speed=")) {
      value = arg.substr(arg.find('=') + 1);
    } else {
      options.error = "unknown option '" + std::string{arg} + "'";
      return options;
    }
    const std::optional<long> speed = engine::read_console_speed(value);
    if (!speed) {
      options.error = "the speed must be a whole number from 0 to " +
                      std::to_string(engine::fastest_console_speed) + ", not '" +
                      std::string{value} + "'";
      return options;
    }
    options.speed = *speed;
  }
  options.command = args.subspan(next);
  if (options.command.empty()) {
    options.error = "no program to run";
  }
  return options;
}

std::string usage(const char* name) {
  return std::string{"usage: "} + name + " [--speed S] PROGRAM [ARG...]";
}

} // namespace relay
