// The floor the demos are measured against: the same bytes, one write system call per line,
// from a buffer built before the first write, and no pauses.
//
//   bare_writer demo|demo_short [counter|art] > FILE

#include "performance.hpp"

#include <cstdio>
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
  std::size_t start = 0;
  for (const std::size_t end : performance.line_ends) {
    while (start < end) {
      const ssize_t written = write(STDOUT_FILENO, performance.bytes.data() + start, end - start);
      if (written < 0) {
        std::perror("bare_writer");
        return 1;
      }
      start += static_cast<std::size_t>(written);
    }
  }
  return 0;
}
