// Captures a demo's performance as a video of the VGA text mode, or as an animated picture: the
// demo's own script played on the console's clock onto an 80-by-25 console, its screen drawn in
// the VGA font at every frame's moment, and the frames encoded by ffmpeg.
//
//   qav-capture [--speed S] [--from SECONDS] [--font FILE] demo|demo_short FILE.mp4|FILE.gif

#include "capture/capture.hpp"
#include "catalog/demos.hpp"
#include "cli/command_line.hpp"
#include "engine/console_speed.hpp"

#include <array>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace {

constexpr const char* name = "qav-capture";

std::string help() {
  return "Usage: qav-capture [--speed S] [--from SECONDS] [--font FILE] demo|demo_short "
         "FILE.mp4|FILE.gif\n"
         "Captures the demo's performance as the VGA text mode showed it, on an 80-by-25\n"
         "console drawing S characters a second (default " +
         std::to_string(engine::default_console_speed) +
         "): as a video (.mp4, 720 by 400, 70 frames\n"
         "a second, shown at 4:3) or an animated picture (.gif, 50 frames a second), from\n"
         "SECONDS into it (default 0), in the VGA font of FILE (default " DEMOS_VGA_FONT ").\n"
         "It needs ffmpeg. The file is made whole or not at all.\n\n"
         "Exit status: 0 when made, 1 when it could not be, 2 for a bad command line.\n";
}

// Seconds into the performance, as a command line gives them: a number from 0, such as 8.4.
bool read_seconds(std::string_view text, double& seconds) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size() &&
         seconds >= 0 && seconds < 3600;
}

} // namespace

int main(int argc, char* argv[]) {
  static constexpr std::array known{cli::Option{"speed", true}, cli::Option{"from", true},
                                    cli::Option{"font", true}};
  const cli::Reading reading = cli::read(argc, argv, known);
  if (reading.help) {
    return cli::help(name, help());
  }
  if (!reading.error.empty()) {
    return cli::bad_use(name, reading.error);
  }
  Capture capture;
  for (const auto& [option, value] : reading.given) {
    std::string error;
    double from = 0;
    if (option == "speed") {
      const auto speed = cli::read_speed(value, 1, error);
      if (!speed) {
        return cli::bad_use(name, error);
      }
      capture.speed = *speed;
    } else if (option == "from") {
      if (!read_seconds(value, from)) {
        return cli::bad_use(name, "--from takes seconds from 0 to under 3600, such as 8.4, not '" +
                                      std::string{value} + "'");
      }
      capture.from_ns = static_cast<std::int64_t>(from * 1e9 + 0.5);
    } else if (value.empty()) {
      return cli::bad_use(name, "--font needs the name of a font file");
    } else {
      capture.font = value;
    }
  }
  if (reading.operands.size() != 2) {
    return cli::bad_use(name, reading.operands.size() < 2 ? "a demo and a file to capture it in"
                                                          : "one demo and one file, no more");
  }
  const std::string_view which = reading.operands[0];
  const std::string file = reading.operands[1];
  if (!catalog::script_named(which)) {
    return cli::bad_use(name,
                        "there is no demo called '" + std::string{which} + "': demo or demo_short");
  }
  capture.demo = which;
  if (file.ends_with(".mp4")) {
    capture.format = Capture::Format::video;
  } else if (file.ends_with(".gif")) {
    capture.format = Capture::Format::picture;
  } else {
    return cli::bad_use(name, "'" + file + "': the file's name ends in .mp4 or .gif");
  }
  // An ffmpeg that ends early is reported with the reason, not a silent death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    capture.save(file);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: cannot make %s: %s\n", name, file.c_str(), error.what());
    return 1;
  }
  return 0;
}
