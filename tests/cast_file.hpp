// A recording as the recorder writes it (asciicast v2), read back for the tests.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct Event {
  double time;
  std::string text;
};

struct Cast {
  std::string header;
  std::vector<Event> events;

  // The output as a program wrote it: each CR LF back to the LF it was.
  std::string output() const;

  // When the first event that holds the text was played; -1 when none does.
  double time_of(std::string_view text) const;
};

// Reads the output events `[time, "o", "text"]`, one a line, that the recorder writes. Throws,
// with the reason, when the file cannot be read or holds no event.
Cast read_cast(const std::string& path);

std::string read_file(const std::filesystem::path& path);
