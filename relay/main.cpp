// qav-relay: runs a program and passes its output on at a console's speed.

#include "cli/command_line.hpp"
#include "relay/relay.hpp"

int main(int argc, char* argv[]) {
  const char* name = "qav-relay";
  const relay::Options options = relay::parse_options(argc, argv);
  if (options.help) {
    return cli::help(name, relay::help(name));
  }
  if (!options.error.empty()) {
    return cli::bad_use(name, options.error);
  }
  return relay::relay(name, options);
}
