// Captures a demo's performance as a video of the VGA text mode, as an animated picture, or as a
// still of one moment: the demo's own script played on the console's clock onto an 80-by-25
// console, its screen drawn in the VGA font at every frame's moment, and the frames encoded by
// ffmpeg.
//
//   qav-capture [--speed S] [--from SECONDS] [--at SECONDS] [--size WxH] [--font FILE]
//               demo|demo_short FILE.mp4|FILE.gif|FILE.png

#include "capture/capture.hpp"
#include "capture/interruption.hpp"
#include "catalog/demos.hpp"
#include "cli/command_line.hpp"
#include "console/performance_length.hpp"
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
  return "Usage: qav-capture [--speed S] [--from SECONDS] [--at SECONDS] [--size WxH]\n"
         "                   [--font FILE] demo|demo_short FILE.mp4|FILE.gif|FILE.png\n"
         "Captures the demo's performance as the VGA text mode showed it, on an 80-by-25\n"
         "console drawing S characters a second (default " +
         std::to_string(engine::default_console_speed) +
         "): as a video (.mp4, 720 by 400, 70 frames\n"
         "a second, shown at 4:3) or an animated picture (.gif, 50 frames a second), from\n"
         "--from SECONDS into it (default 0), or as a still (.png) of the frame a video shows\n"
         "--at SECONDS into it, 720 by 400 or scaled to --size (such as 400x300). A video's\n"
         "cover is the frame at --at too (default: 20 for demo, the chain of boxes\n"
         "mid-travel; 28.5 for demo_short, its two boxes). In the VGA font of FILE "
         "(default\n" DEMOS_VGA_FONT ").\n"
         "It needs ffmpeg. The file is made whole or not at all.\n\n"
         "Exit status: 0 when made, 1 when it could not be, 2 for a bad command line.\n";
}

// Seconds into the performance, as a command line gives them: a number from 0, such as 8.4.
bool read_seconds(std::string_view text, double& seconds) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size() &&
         seconds >= 0 && seconds < 3600;
}

// A still's size, as WIDTHxHEIGHT: each from 16 to 4096 pixels.
bool read_size(std::string_view text, int& width, int& height) {
  const char* const last = text.data() + text.size();
  const auto [x, width_error] = std::from_chars(text.data(), last, width);
  if (width_error != std::errc{} || x == last || *x != 'x') {
    return false;
  }
  const auto [end, height_error] = std::from_chars(x + 1, last, height);
  return height_error == std::errc{} && end == last && width >= 16 && width <= 4096 &&
         height >= 16 && height <= 4096;
}

std::string seconds(std::int64_t ns) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(ns) / 1e9);
  return text;
}

// Why the moments asked for cannot be captured, found before any work: a start at or past the
// performance's end, or more than an hour of video (at a slow speed the short demo's counter
// alone lasts days). A video whose own cover moment is past the end shows its last frame.
std::string out_of_range(Capture& capture) {
  const std::int64_t length =
      performance_length_ns(*catalog::script_named(capture.demo), capture.speed);
  const bool still = capture.format == Capture::Format::still;
  const std::int64_t start = still ? capture.cover_moment_ns() : capture.from_ns;
  if (start >= length) {
    return std::string{still ? "--at " : "--from "} + seconds(start) +
           " is not before the performance's end, at " + seconds(length);
  }
  constexpr std::int64_t hour = 3600'000'000'000;
  if (!still && length - start > hour) {
    return "the capture would last " + seconds(length - start) + ", more than an hour";
  }
  if (capture.format == Capture::Format::video && capture.cover_moment_ns() >= length) {
    capture.at_ns = length - 1;
  }
  return "";
}

} // namespace

int main(int argc, char* argv[]) {
  static constexpr std::array known{cli::Option{"speed", true}, cli::Option{"from", true},
                                    cli::Option{"at", true}, cli::Option{"size", true},
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
    double seconds = 0;
    if (option == "speed") {
      const auto speed = cli::read_speed(value, 1, error);
      if (!speed) {
        return cli::bad_use(name, error);
      }
      capture.speed = *speed;
    } else if (option == "from" || option == "at") {
      if (!read_seconds(value, seconds)) {
        return cli::bad_use(name, "--" + std::string{option} +
                                      " takes seconds from 0 to under 3600, such as 8.4, not '" +
                                      std::string{value} + "'");
      }
      (option == "from" ? capture.from_ns : capture.at_ns) =
          static_cast<std::int64_t>(seconds * 1e9 + 0.5);
    } else if (option == "size") {
      if (!read_size(value, capture.still_width, capture.still_height)) {
        return cli::bad_use(name, "--size takes WIDTHxHEIGHT in pixels, each from 16 to 4096, "
                                  "such as 400x300, not '" +
                                      std::string{value} + "'");
      }
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
  } else if (file.ends_with(".png")) {
    capture.format = Capture::Format::still;
  } else {
    return cli::bad_use(name, "'" + file + "': the file's name ends in .mp4, .gif or .png");
  }
  if (capture.still_width > 0 && capture.format != Capture::Format::still) {
    return cli::bad_use(name, "--size is a still's (.png), not '" + file + "''s");
  }
  if (const std::string refusal = out_of_range(capture); !refusal.empty()) {
    return cli::bad_use(name, refusal);
  }
  // An ffmpeg that ends early is reported with the reason, not a silent death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  note_interruptions();
  try {
    capture.save(file);
  } catch (const Interrupted& interrupted) {
    // ffmpeg is ended and what was being made is gone: now the signal has its way.
    die_by(interrupted.number);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: cannot make %s: %s\n", name, file.c_str(), error.what());
    return 1;
  }
  return 0;
}
