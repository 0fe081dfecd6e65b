// qav-watch: plays a demo on Windows as it was made to be seen, on a console of 80 by 25 that
// wraps, drawn at a console's speed.

#include "cli/command_line.hpp"
#include "winwatch/keys.hpp"
#include "winwatch/new_window.hpp"
#include "winwatch/options.hpp"
#include "winwatch/say.hpp"
#include "winwatch/watch.hpp"

int main(int argc, char* argv[]) {
  using namespace winwatch;
  const Options options = parse_options(argc, argv);
  if (options.help) {
    return cli::help(name, help(name));
  }
  if (!options.error.empty()) {
    return cli::bad_use(name, options.error);
  }
  // A console of its own is a double-click's: the default host may be one that ignores the size.
  const bool own = owns_console();
  if (!tell_opener() && (own || options.new_window)) {
    if (const auto status = play_in_new_window(options, own)) {
      return static_cast<int>(*status);
    }
  }
  const Outcome outcome = watch(options);
  // A window that closes with the launcher would take the line with it.
  if (own && outcome.how == Outcome::How::failed) {
    await_a_key("qav-watch: press a key to close");
  }
  return static_cast<int>(outcome.status);
}
