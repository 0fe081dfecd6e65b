// The cost of one line on the demos' output path, with pauses that return at once: the player
// writing through a stream like cout (libstdc++'s buffer over a stdio FILE) into /dev/null,
// beside a bare write system call per line of the same bytes.

#include "performance.hpp"

#include "engine/console.hpp"
#include "engine/script.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <ext/stdio_sync_filebuf.h>
#include <fcntl.h>
#include <ostream>
#include <unistd.h>

namespace {

void set_lines_counter(benchmark::State& state, std::size_t lines) {
  state.counters["ns_per_line"] = benchmark::Counter(static_cast<double>(lines) * 1e-9,
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void player(benchmark::State& state, const char* program) {
  FILE* null = std::fopen("/dev/null", "w");
  __gnu_cxx::stdio_sync_filebuf<char> buffer{null};
  std::ostream out{&buffer};
  const engine::Script script = Performance::script_of(program);
  const std::size_t lines = Performance::of(program).line_ends.size();
  for (auto _ : state) {
    engine::Console console{out, [](std::chrono::milliseconds) {}};
    const bool played = engine::play(script, console);
    benchmark::DoNotOptimize(played);
  }
  set_lines_counter(state, lines);
  std::fclose(null);
}

void bare_write(benchmark::State& state, const char* program) {
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const Performance performance = Performance::of(program);
  for (auto _ : state) {
    std::size_t start = 0;
    for (const std::size_t end : performance.line_ends) {
      benchmark::DoNotOptimize(write(null, performance.bytes.data() + start, end - start));
      start = end;
    }
  }
  set_lines_counter(state, performance.line_ends.size());
  close(null);
}

BENCHMARK_CAPTURE(player, demo, "demo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bare_write, demo, "demo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(player, demo_short, "demo_short")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bare_write, demo_short, "demo_short")->Unit(benchmark::kMillisecond);

} // namespace
