// A whole program's performance: the script played onto cout with real pauses, and a failed
// write reported with its reason.

#include "engine/program.hpp"

#include "engine/console.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

namespace engine {

int perform(const char* program_name, const Script& script) {
  // cout is left as the standard library sets it up: each insertion goes straight on to stdout,
  // and the console flushes stdout's own buffer after every line.
  Console console{std::cout,
                  [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }};
  if (play(script, console) && console.finish()) {
    return EXIT_SUCCESS;
  }
  const int reason = console.error();
  std::fprintf(stderr, "%s: write error%s%s\n", program_name, reason != 0 ? ": " : "",
               reason != 0 ? std::strerror(reason) : "");
  return EXIT_FAILURE;
}

} // namespace engine
