// Captures a demo's performance as a video of the VGA text mode, or as an animated picture: the
// demo's own script played on the console's clock onto an 80-by-25 console, its screen drawn in
// the VGA font at every frame's moment, and the frames encoded by ffmpeg.
//
//   qav-capture [--speed S] [--from SECONDS] [--font FILE] demo|demo_short FILE.mp4|FILE.gif

#include "capture/capture.hpp"
#include "engine/console_speed.hpp"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace {

int usage() {
  std::fputs("usage: qav-capture [--speed S] [--from SECONDS] [--font FILE] demo|demo_short "
             "FILE.mp4|FILE.gif\n",
             stderr);
  return 2;
}

// Seconds into the performance, as a command line gives them: a number from 0, such as 8.4.
bool read_seconds(std::string_view text, double& seconds) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size() &&
         seconds >= 0 && seconds < 3600;
}

} // namespace

int main(int argc, char* argv[]) {
  Capture capture;
  int next = 1;
  for (; next + 1 < argc && std::string_view{argv[next]}.starts_with("--"); next += 2) {
    const std::string_view option = argv[next];
    const char* value = argv[next + 1];
    double from = 0;
    if (option == "--speed" && engine::read_console_speed(value).value_or(0) > 0) {
      capture.speed = *engine::read_console_speed(value);
    } else if (option == "--from" && read_seconds(value, from)) {
      capture.from_ns = static_cast<std::int64_t>(from * 1e9 + 0.5);
    } else if (option == "--font" && *value != '\0') {
      capture.font = value;
    } else {
      std::fprintf(stderr, "qav-capture: bad %.*s: '%s'\n", static_cast<int>(option.size()),
                   option.data(), value);
      return usage();
    }
  }
  if (argc != next + 2) {
    return usage();
  }
  const std::string_view which = argv[next];
  const std::string file = argv[next + 1];
  if (which != "demo" && which != "demo_short") {
    return usage();
  }
  capture.demo = which;
  if (file.ends_with(".mp4")) {
    capture.format = Capture::Format::video;
  } else if (file.ends_with(".gif")) {
    capture.format = Capture::Format::picture;
  } else {
    std::fprintf(stderr, "qav-capture: %s: the file's name ends in .mp4 or .gif\n", file.c_str());
    return usage();
  }
  // An ffmpeg that ends early is reported with the reason, not a silent death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    capture.save(file);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "qav-capture: cannot make %s: %s\n", file.c_str(), error.what());
    return 1;
  }
  return 0;
}
