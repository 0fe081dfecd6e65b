// Reads a recording back: its header and its output events.

#include "cast_file.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

std::string Cast::output() const {
  std::string bytes;
  for (const Event& event : events) {
    for (std::size_t i = 0; i < event.text.size(); ++i) {
      if (!event.text.compare(i, 2, "\r\n")) {
        continue;
      }
      bytes += event.text[i];
    }
  }
  return bytes;
}

double Cast::time_of(std::string_view text) const {
  for (const Event& event : events) {
    if (event.text.find(text) != std::string::npos) {
      return event.time;
    }
  }
  return -1;
}

Cast read_cast(const std::string& path) {
  errno = 0;
  std::ifstream file{path};
  if (!file) {
    throw std::runtime_error("cannot read the recording " + path + ": " + std::strerror(errno));
  }
  Cast cast;
  std::getline(file, cast.header);
  for (std::string line; std::getline(file, line);) {
    Event event{std::stod(line.substr(1)), ""};
    const std::size_t open = line.find(R"(, "o", ")");
    if (open == std::string::npos) {
      throw std::runtime_error("not an output event: " + line);
    }
    for (std::size_t i = open + 8; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\') {
        const char escaped = line[++i];
        event.text += escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped;
      } else {
        event.text += line[i];
      }
    }
    cast.events.push_back(event);
  }
  if (cast.events.empty()) {
    throw std::runtime_error("the recording " + path + " holds no event");
  }
  return cast;
}

std::string read_file(const std::filesystem::path& path) {
  errno = 0;
  std::ifstream file{path, std::ios::binary};
  if (!file) {
    throw std::runtime_error("cannot read " + path.string() + ": " + std::strerror(errno));
  }
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
