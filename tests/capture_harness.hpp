// What the capture's tests share: the model's screen at a moment of the performance, the
// captures' paths, ffprobe's word on a file, and frames checked against the model.
#pragma once

#include "decoded_frames.hpp"
#include "recording.hpp"

#include "capture/console_model.hpp"
#include "capture/vga_font.hpp"
#include "engine/console_speed.hpp"
#include "engine/script.hpp"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

inline constexpr std::int64_t second = 1'000'000'000;

// The screen of an 80-by-25 console drawing a performance at the default speed, at moments that
// come in order: the characters drawn by a moment are those whose time has come, a character's
// time being the pauses before it and one character's time for each character up to it.
class ScreenAt {
public:
  explicit ScreenAt(const engine::Script& script) : recording_{Recording::of(script)} {}

  std::vector<std::string> operator()(std::int64_t moment_ns) {
    while (drawn_ < recording_.output.size() && time_of(drawn_ + 1) <= moment_ns) {
      console_.draw(std::string_view{recording_.output}.substr(drawn_++, 1));
    }
    // Until the console has scrolled, the rows below the last written are empty.
    auto screen = console_.screen();
    screen.resize(ConsoleModel::screen_rows);
    return screen;
  }

  // When the performance is over, its closing pause included.
  std::int64_t end_ns() { return time_of(recording_.output.size()) + pauses_after(); }

private:
  // When the character with this count (from 1) is drawn.
  std::int64_t time_of(std::size_t count) {
    std::int64_t paused = 0;
    for (const auto& pause : recording_.pauses) {
      if (pause.after_bytes < count) {
        paused += std::chrono::nanoseconds{pause.duration}.count();
      }
    }
    return paused + static_cast<std::int64_t>(count) * second / engine::default_console_speed;
  }
  std::int64_t pauses_after() const {
    std::int64_t paused = 0;
    for (const auto& pause : recording_.pauses) {
      if (pause.after_bytes == recording_.output.size()) {
        paused += std::chrono::nanoseconds{pause.duration}.count();
      }
    }
    return paused;
  }

  Recording recording_;
  ConsoleModel console_;
  std::size_t drawn_ = 0;
};

std::string capture_path(const std::string& name);

// ffprobe's word on the first video stream: each field as it names it.
std::map<std::string, std::string> probe(const std::string& file);

const VgaFont& vga_font();

// Checks every frame from `from_ns` on, `frames_per_second` of them a second: each of those
// `pick` chooses (by its number and moment) reads as the model's screen at its moment. Returns
// how many frames there were.
std::int64_t expect_screens(DecodedFrames& frames, ScreenAt& model, std::int64_t from_ns,
                            int frames_per_second,
                            const std::function<bool(std::int64_t, std::int64_t)>& pick);
