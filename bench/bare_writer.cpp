// The floor the demos are measured against: the same bytes, one write system call per line,
// from a buffer built before the first write, and no pauses.
//
//   bare_writer demo|demo_short [counter|art] > FILE

#include "os/write_all.hpp"
#include "performance.hpp"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv) {
  const std::string_view phase = argc == 3 ? argv[2] : "";
  if ((argc != 2 && argc != 3) || (argc == 3 && phase != "counter" && phase != "art")) {
    std::fputs("usage: bare_writer demo|demo_short [counter|art]\n", stderr);
    return 2;
  }
  const Performance performance = Performance::of(argv[1], phase == "counter" ? Phase::counter
                                                           : phase == "art"   ? Phase::art
                                                                              : Phase::whole);
  const std::string_view bytes = performance.bytes;
  std::size_t start = 0;
  for (const std::size_t end : performance.line_ends) {
    if (const int error = os::write_all(STDOUT_FILENO, bytes.substr(start, end - start));
        error != 0) {
      std::fprintf(stderr, "bare_writer: %s\n", std::strerror(error));
      return 1;
    }
    start = end;
  }
  return 0;
}
