// The frame sampler: the screen at each frame's moment, by the console's clock.

#include "capture/frame_sampler.hpp"

#include <utility>

FrameSampler::FrameSampler(long characters_per_second, int frames_per_second, std::int64_t from_ns,
                           Frame frame)
    : clock_{characters_per_second},
      frames_per_second_{frames_per_second}, from_ns_{from_ns}, frame_{std::move(frame)} {}

bool FrameSampler::print(engine::Line line) {
  draw(line);
  return true;
}

bool FrameSampler::counter(int, std::string_view digits) {
  draw(digits);
  draw("\n");
  return true;
}

void FrameSampler::finish() {
  while (next_moment_ns() <= clock_.now_ns()) {
    hand_over();
  }
}

std::int64_t FrameSampler::next_moment_ns() const {
  return from_ns_ + frames_ * ConsoleClock::nanoseconds_per_second / frames_per_second_;
}

// A frame's moment can fall inside a line, or inside a pause before it: the characters drawn by
// then are on the screen, the rest come after.
void FrameSampler::draw(std::string_view text) {
  while (!text.empty()) {
    const auto due = static_cast<std::size_t>(clock_.drawable_by(next_moment_ns()));
    const std::string_view now = text.substr(0, due);
    console_.draw(now);
    clock_.draw(static_cast<std::int64_t>(now.size()));
    changed_ = changed_ || !now.empty();
    text.remove_prefix(now.size());
    if (!text.empty()) {
      hand_over();
    }
  }
}

void FrameSampler::hand_over() {
  frame_(console_, changed_);
  changed_ = false;
  ++frames_;
}
