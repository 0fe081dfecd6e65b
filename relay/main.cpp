// qav-relay: runs a program and passes its output on at a console's speed.

#include "engine/console_speed.hpp"
#include "relay/relay.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

int main(int argc, char* argv[]) {
  const char* name = "qav-relay";
  const relay::Options options = relay::parse_options(std::span{argv + 1, argv + argc});
  if (options.help) {
    if (std::printf("%s\n"
                    "Runs PROGRAM and passes on what it writes at S characters a second, as a "
                    "console\nthat draws at that speed would show it (default %ld; 0: as it "
                    "comes).\n",
                    relay::usage(name).c_str(), engine::default_console_speed) < 0 ||
        std::fflush(stdout) != 0) {
      std::fprintf(stderr, "%s: write error: %s\n", name, std::strerror(errno));
      return 1;
    }
    return 0;
  }
  if (!options.error.empty()) {
    std::fprintf(stderr, "%s: %s; %s\n", name, options.error.c_str(), relay::usage(name).c_str());
    return 2;
  }
  return relay::relay(name, options);
}
