#include "engine/program.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

namespace engine {
namespace {

void sleep_for(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

} // namespace

int perform(const char* program_name, Script script) {
  // cout is left as the standard library sets it up: each insertion goes straight on to stdout,
  // and stdout's own buffer is flushed after every line by the player.
  const bool played = play(script, std::cout, sleep_for);
  if (played && std::fflush(stdout) == 0 && std::ferror(stdout) == 0) {
    return EXIT_SUCCESS;
  }
  // Read before anything else can touch it: the failed write or flush has just set it.
  const int reason = errno;
  if (reason != 0) {
    std::fprintf(stderr, "%s: write error: %s\n", program_name, std::strerror(reason));
  } else {
    std::fprintf(stderr, "%s: write error\n", program_name);
  }
  return EXIT_FAILURE;
}

} // namespace engine
