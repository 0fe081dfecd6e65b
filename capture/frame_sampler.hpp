// The stage the capture plays a script onto: the console model on the console's clock, sampled
// at each frame's moment.
#pragma once

#include "console/console_clock.hpp"
#include "console/console_model.hpp"
#include "engine/stage.hpp"

#include <cstdint>
#include <functional>
#include <string_view>

// Plays a script onto the console model by the console's clock, and hands over the screen at
// each frame's moment: frame k, from the first moment on, shows every character drawn by
// `from_ns` + k / `frames_per_second` seconds, and the screen as it was then. Frames run to the
// moment the performance ends, its closing pause included.
class FrameSampler final : public engine::Stage {
public:
  // Given the console at the frame's moment, and whether anything was drawn since the frame
  // before.
  using Frame = std::function<void(const ConsoleModel& console, bool changed)>;

  FrameSampler(long characters_per_second, int frames_per_second, std::int64_t from_ns,
               Frame frame);

  bool print(engine::Line line) override;
  bool counter(int n, std::string_view digits) override;
  void pause(std::chrono::milliseconds duration) override { clock_.pause(duration); }

  // Hands over the frames still due, up to the end of the last pause.
  void finish();

  std::int64_t frames() const { return frames_; }

private:
  std::int64_t next_moment_ns() const;
  void draw(std::string_view text);
  void hand_over();

  ConsoleClock clock_;
  ConsoleModel console_;
  int frames_per_second_;
  std::int64_t from_ns_;
  Frame frame_;
  std::int64_t frames_ = 0; // handed over so far
  bool changed_ = true;     // the first frame is always news
};
