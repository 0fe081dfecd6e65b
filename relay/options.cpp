#include "relay/options.hpp"

#include "engine/console_speed.hpp"

#include <charconv>
#include <string_view>

namespace relay {
namespace {

bool read_speed(std::string_view text, long& speed) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text.front() == '-' || error != std::errc{} ||
      end != text.data() + text.size() || value > fastest_speed) {
    return false;
  }
  speed = value;
  return true;
}

} // namespace

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
    if (!read_speed(value, options.speed)) {
      options.error = "the speed must be a whole number from 0 to " +
                      std::to_string(fastest_speed) + ", not '" + std::string{value} + "'";
      return options;
    }
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
