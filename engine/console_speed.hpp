// The console's speed: the default the tools show the programs at, and how a command line gives
// one.
#pragma once

// default_console_speed: how fast the console these demos were made for drew their text, in
// characters a second. Stated, and explained, in engine/CMakeLists.txt, which makes this header;
// the build and the scripts take it from there too.
#include "engine/default_console_speed.hpp"

#include <charconv>
#include <optional>
#include <string_view>

namespace engine {

// The fastest speed the tools take: far past what any terminal draws.
inline constexpr long fastest_console_speed = 100'000'000;

// A speed as a command line gives it: a whole number of characters a second, from 0 to
// fastest_console_speed, and nothing else; none when the text is anything other.
inline std::optional<long> read_console_speed(std::string_view text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text.front() == '-' || error != std::errc{} ||
      end != text.data() + text.size() || value > fastest_console_speed) {
    return std::nullopt;
  }
  return value;
}

} // namespace engine
