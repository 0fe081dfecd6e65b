// The console's schedule, kept in exact integer counts of characters and nanoseconds.

#include "pacing/pacer.hpp"

#include <algorithm>

namespace pacing {
namespace {

constexpr long long nanoseconds_per_second = 1'000'000'000;

} // namespace

Pacer::Pacer(long characters_per_second, Clock::time_point start)
    : speed_{characters_per_second}, frame_worth_{static_cast<std::size_t>(
                                         std::max(1L, speed_ / 60))},
      most_owed_{frame + std::chrono::nanoseconds{(nanoseconds_per_second + speed_ - 1) / speed_}},
      used_until_{start} {}

std::size_t Pacer::due(Clock::time_point now) {
  if (now - used_until_ > most_owed_) {
    used_until_ = now - most_owed_;
    remainder_ = 0;
  }
  const long long elapsed =
      std::chrono::duration_cast<std::chrono::nanoseconds>(now - used_until_).count();
  const long long owed = elapsed * speed_ - remainder_;
  return owed > 0 ? std::min(static_cast<std::size_t>(owed / nanoseconds_per_second), frame_worth_)
                  : 0;
}

void Pacer::drawn(std::size_t count) {
  const long long cost = static_cast<long long>(count) * nanoseconds_per_second + remainder_;
  used_until_ += std::chrono::nanoseconds{cost / speed_};
  remainder_ = cost % speed_;
}

} // namespace pacing
