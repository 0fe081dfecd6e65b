// A performance timed by the console's clock, with nothing drawn.

#include "console/performance_length.hpp"

#include "console/console_clock.hpp"
#include "engine/stage.hpp"

namespace {

class Timing final : public engine::Stage {
public:
  explicit Timing(long characters_per_second) : clock{characters_per_second} {}

  bool print(engine::Line line) override {
    clock.draw(static_cast<std::int64_t>(line.size()));
    return true;
  }
  bool counter(int, std::string_view digits) override {
    clock.draw(static_cast<std::int64_t>(digits.size()) + 1);
    return true;
  }
  void pause(std::chrono::milliseconds duration) override { clock.pause(duration); }

  ConsoleClock clock;
};

} // namespace

std::int64_t performance_length_ns(const engine::Script& script, long characters_per_second) {
  Timing timing{characters_per_second};
  (void)engine::play(script, timing);
  return timing.clock.now_ns();
}
