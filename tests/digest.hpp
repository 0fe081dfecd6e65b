// The digests that pin both demos' byte streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// FNV-1a, 64 bits: enough to pin a byte stream of a megabyte to the one the demos must write.
constexpr std::uint64_t fnv1a(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (const char c : bytes) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3;
  }
  return hash;
}

// The performances as the programs must write them on Linux, counter newlines included.
struct Expected {
  std::size_t bytes;
  std::uint64_t digest;
};
inline constexpr Expected demo_short_output{1'289'943, 0xb29ca19779003a14};
inline constexpr Expected demo_output{630'283, 0x43b63fc1d59b13f3};

// The same on Windows, whose text-mode standard output writes CR LF for each newline.
inline constexpr Expected demo_short_output_crlf{1'489'943, 0x80eff9122663f406};
inline constexpr Expected demo_output_crlf{635'283, 0x2295ed2a9c933b15};
