// Reads the made file's structure back, and asks ffprobe what it holds.

#include "capture/made_file.hpp"

#include "os/descriptors.hpp"
#include "os/start_program.hpp"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string contents(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  std::string bytes;
  char buffer[65536];
  ssize_t n = fd < 0 ? -1 : 0;
  while (fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0) {
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  const int error = errno;
  if (fd >= 0) {
    close(fd);
  }
  if (n < 0) {
    throw std::runtime_error{"cannot read back what ffmpeg made: " +
                             std::string{std::strerror(error)}};
  }
  return bytes;
}

std::uint64_t big_endian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (const char byte : bytes) {
    value = value << 8 | static_cast<unsigned char>(byte);
  }
  return value;
}

// An MP4 is a sequence of boxes, each with its size first: they must add up to the file, and
// the index that makes it playable must be among them.
void check_boxes(std::string_view file) {
  bool index = false;
  for (std::size_t at = 0; at < file.size();) {
    if (file.size() - at < 8) {
      throw std::runtime_error{"ffmpeg left a broken MP4 (a box cut short)"};
    }
    std::uint64_t size = big_endian(file.substr(at, 4));
    const std::string_view type = file.substr(at + 4, 4);
    if (size == 1 && file.size() - at >= 16) {
      size = big_endian(file.substr(at + 8, 8));
    } else if (size == 0) {
      size = file.size() - at;
    }
    if (size < 8 || size > file.size() - at) {
      throw std::runtime_error{"ffmpeg left a broken MP4 (a box cut short)"};
    }
    index = index || type == "moov";
    at += size;
  }
  if (!index) {
    throw std::runtime_error{"ffmpeg left an MP4 without its index (moov)"};
  }
}

// ffprobe's one answer on the file, its standard output kept in memory.
std::string probe(const std::string& path, std::vector<std::string> asked) {
  asked.insert(asked.begin(), {"ffprobe", "-v", "error"});
  asked.insert(asked.end(), {"-of", "csv=p=0", "file:" + path});
  std::vector<char*> argv;
  for (std::string& word : asked) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  const int output = os::above_standard(memfd_create("ffprobe-said", MFD_CLOEXEC));
  const int quiet = os::above_standard(open("/dev/null", O_WRONLY | O_CLOEXEC));
  const os::Started started =
      output < 0 || quiet < 0 ? os::Started{-1, errno}
                              : os::start_program(argv, {.standard = {os::closed, output, quiet}});
  int status = -1;
  if (started.pid > 0) {
    while (waitpid(started.pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  std::string said(256, '\0');
  const ssize_t n = output < 0 ? -1 : pread(output, said.data(), said.size(), 0);
  said.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  close(output);
  close(quiet);
  if (started.pid < 0) {
    throw std::runtime_error{"cannot run ffprobe to check the file: " +
                             std::string{std::strerror(started.error)}};
  }
  if (status != 0) {
    throw std::runtime_error{"ffprobe cannot read what ffmpeg made"};
  }
  return said;
}

} // namespace

void check_made_file(const std::string& path, Capture::Format format, std::int64_t frames,
                     int frames_per_second) {
  const std::string file = contents(path);
  if (format == Capture::Format::still) {
    constexpr std::string_view last_chunk{"\0\0\0\0IEND\xae\x42\x60\x82", 12};
    if (!std::string_view{file}.ends_with(last_chunk)) {
      throw std::runtime_error{"ffmpeg left a PNG cut short"};
    }
    return;
  }
  if (format == Capture::Format::video) {
    check_boxes(file);
    const std::string counted = probe(path, {"-select_streams", "v:0", "-count_packets",
                                             "-show_entries", "stream=nb_read_packets"});
    if (std::atoll(counted.c_str()) != frames) {
      throw std::runtime_error{"ffmpeg's video holds " +
                               std::to_string(std::atoll(counted.c_str())) + " frames of the " +
                               std::to_string(frames) + " sent"};
    }
    return;
  }
  if (file.empty() || file.back() != '\x3b') {
    throw std::runtime_error{"ffmpeg left a GIF without its end"};
  }
  const double lasts = std::atof(probe(path, {"-show_entries", "format=duration"}).c_str());
  const double sent = static_cast<double>(frames) / frames_per_second;
  if (std::abs(lasts - sent) > 1.5 / frames_per_second) {
    throw std::runtime_error{"ffmpeg's picture lasts " + std::to_string(lasts) + " s of the " +
                             std::to_string(sent) + " s sent"};
  }
}
