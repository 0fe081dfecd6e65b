// The tools' command lines read by getopt_long, their mistakes said as coreutils say them.

#include "cli/command_line.hpp"

#include "engine/console_speed.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <getopt.h>

namespace cli {
namespace {

constexpr int help_key = 1;
constexpr int first_key = 2; // options[i] is returned as first_key + i

// Why getopt_long refused the option before `optind`: the same words coreutils use.
std::string refusal(std::string_view arg, std::span<const Option> options, int short_option) {
  if (!arg.starts_with("--")) {
    return std::string{"invalid option -- '"} + static_cast<char>(short_option) + "'";
  }
  const std::string_view name = arg.substr(2, arg.find('=') - 2);
  std::size_t matches = name.empty() ? 0 : std::string_view{"help"}.starts_with(name);
  bool takes_value = false;
  for (const Option& option : options) {
    if (std::string_view{option.name}.starts_with(name)) {
      ++matches;
      takes_value = option.takes_value;
    }
  }
  if (matches > 1) {
    return "option '--" + std::string{name} + "' is ambiguous";
  }
  if (matches == 1 && arg.find('=') != std::string_view::npos && !takes_value) {
    return "option '--" + std::string{name} + "' doesn't allow an argument";
  }
  return "unrecognized option '" + std::string{arg} + "'";
}

} // namespace

Reading read(int argc, char* argv[], std::span<const Option> options) {
  std::vector<option> table;
  for (std::size_t i = 0; i < options.size(); ++i) {
    table.push_back({options[i].name, options[i].takes_value ? required_argument : no_argument,
                     nullptr, first_key + static_cast<int>(i)});
  }
  table.push_back({"help", no_argument, nullptr, help_key});
  table.push_back({});

  Reading reading;
  // '+': stop at the first operand, so that what follows it is the operand's own; ':': tell a
  // missing value from an unknown option. Quiet: the reason is said here, once.
  opterr = 0;
  optind = 0; // a fresh start, should a command line have been read before
  for (;;) {
    const int key = getopt_long(argc, argv, "+:", table.data(), nullptr);
    if (key == -1) {
      break;
    }
    const std::string_view arg = argv[optind - 1];
    if (key == ':') {
      reading.error =
          "option '" + std::string{arg.substr(0, arg.find('='))} + "' requires an argument";
      return reading;
    }
    if (key == '?' || key < help_key || key >= first_key + static_cast<int>(options.size())) {
      reading.error = refusal(arg, options, optopt);
      return reading;
    }
    if (key == help_key) {
      reading.help = true;
      return reading;
    }
    const Option& option = options[static_cast<std::size_t>(key - first_key)];
    reading.given.emplace_back(option.name, optarg ? std::string_view{optarg} : "");
  }
  reading.operands = std::span<char* const>{argv + optind, argv + argc};
  return reading;
}

int bad_use(std::string_view program, std::string_view reason) {
  std::fprintf(stderr, "%.*s: %.*s\nTry '%.*s --help' for more information.\n",
               static_cast<int>(program.size()), program.data(), static_cast<int>(reason.size()),
               reason.data(), static_cast<int>(program.size()), program.data());
  return 2;
}

int help(std::string_view program, std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "%.*s: write error: %s\n", static_cast<int>(program.size()),
                 program.data(), std::strerror(errno));
    return 1;
  }
  return 0;
}

std::optional<long> read_speed(std::string_view value, long slowest, std::string& error) {
  const std::optional<long> speed = engine::read_console_speed(value);
  if (!speed || *speed < slowest) {
    error = "the speed must be a whole number from " + std::to_string(slowest) + " to " +
            std::to_string(engine::fastest_console_speed) + ", not '" + std::string{value} + "'";
    return std::nullopt;
  }
  return speed;
}

std::string speeds_taken() {
  return "default " + std::to_string(engine::default_console_speed) + "; 0: as it comes; at most " +
         std::to_string(engine::fastest_console_speed);
}

} // namespace cli
