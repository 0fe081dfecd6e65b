// What the capture's tests share: the model's screen at a moment of the performance, the
// captures' paths, ffprobe's word on a file, and frames checked against the model.
#pragma once

#include "decoded_frames.hpp"
#include "recording.hpp"

#include "capture/vga_font.hpp"
#include "console/console_clock.hpp"
#include "console/console_model.hpp"
#include "engine/console_speed.hpp"
#include "engine/script.hpp"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

inline constexpr std::int64_t second = ConsoleClock::nanoseconds_per_second;

// The screen of an 80-by-25 console drawing a performance at the default speed, at moments that
// come in order: the characters drawn by a moment are those whose time has come by the console's
// clock, one character at a time, so that the capture's own sampling is checked against it.
class ScreenAt {
public:
  explicit ScreenAt(const engine::Script& script) : recording_{Recording::of(script)} {}

  std::vector<std::string> operator()(std::int64_t moment_ns) {
    while (drawn_ < recording_.output.size()) {
      pause_until_next_character();
      if (clock_.drawn_at_ns(static_cast<std::int64_t>(drawn_) + 1) > moment_ns) {
        break;
      }
      console_.draw(std::string_view{recording_.output}.substr(drawn_++, 1));
      clock_.draw(1);
    }
    // Until the console has scrolled, the rows below the last written are empty.
    auto screen = console_.screen();
    screen.resize(ConsoleModel::screen_rows);
    return screen;
  }

  // When the performance is over, its closing pause included.
  std::int64_t end_ns() const {
    ConsoleClock clock{engine::default_console_speed};
    for (const auto& pause : recording_.pauses) {
      clock.pause(pause.duration);
    }
    clock.draw(static_cast<std::int64_t>(recording_.output.size()));
    return clock.now_ns();
  }

private:
  // The pauses that come before the next character, taken as it is reached.
  void pause_until_next_character() {
    while (paused_ < recording_.pauses.size() && recording_.pauses[paused_].after_bytes == drawn_) {
      clock_.pause(recording_.pauses[paused_++].duration);
    }
  }

  Recording recording_;
  ConsoleModel console_;
  ConsoleClock clock_{engine::default_console_speed};
  std::size_t drawn_ = 0;
  std::size_t paused_ = 0;
};

std::string capture_path(const std::string& name);

// ffprobe's word on the first video stream: each field as it names it.
std::map<std::string, std::string> probe(const std::string& file);

// ffprobe's word on the entries given (as -show_entries takes them) of the streams chosen (as
// -select_streams takes them): each field as it names it, "TAG:" before a tag's.
std::map<std::string, std::string> probe(const std::string& file, const std::string& streams,
                                         const std::string& entries);

const VgaFont& vga_font();

// Checks every frame from `from_ns` on, `frames_per_second` of them a second: each of those
// `pick` chooses (by its number and moment) reads as the model's screen at its moment. Returns
// how many frames there were.
std::int64_t expect_screens(DecodedFrames& frames, ScreenAt& model, std::int64_t from_ns,
                            int frames_per_second,
                            const std::function<bool(std::int64_t, std::int64_t)>& pick);
