// Records a demo's performance as a terminal recording (asciicast v2), drawn at a console's
// speed, by playing the demo's own script on a virtual clock.
//
//   qav-record [--speed S] demo|demo_short FILE

#include "demo/script.hpp"
#include "demo_short/script.hpp"
#include "engine/console_speed.hpp"
#include "engine/script.hpp"
#include "recorder/cast_recorder.hpp"
#include "recorder/save.hpp"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace {

int usage() {
  std::fputs("usage: qav-record [--speed S] demo|demo_short FILE\n", stderr);
  return 2;
}

} // namespace

int main(int argc, char* argv[]) {
  long speed = engine::default_console_speed;
  int next = 1;
  if (argc > 2 && std::string_view{argv[1]} == "--speed") {
    // A recording is drawn at some speed: 0, as it comes, has no clock to keep.
    const std::optional<long> given = engine::read_console_speed(argv[2]);
    if (!given || *given == 0) {
      std::fprintf(stderr, "qav-record: the speed must be a whole number from 1 to %ld, not '%s'\n",
                   engine::fastest_console_speed, argv[2]);
      return usage();
    }
    speed = *given;
    next = 3;
  }
  const std::string_view which = argc == next + 2 ? argv[next] : "";
  if ((which != "demo" && which != "demo_short") || *argv[next + 1] == '\0') {
    return usage();
  }
  const char* file = argv[next + 1];
  // Past a file size limit a write fails, to be reported and cleaned up like any other, rather
  // than killing the recorder with its temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  const engine::Script script =
      which == "demo" ? engine::Script{demo::script} : engine::Script{demo_short::script};
  const std::string title = std::string{which} + ", drawn at " + std::to_string(speed) +
                            " characters a second on an 80-column console";
  // Made whole in memory, a few megabytes, then saved whole or not at all.
  std::ostringstream text;
  recorder::CastRecorder cast{text, speed, title};
  const bool played = engine::play(script, cast);
  cast.finish();
  const int error = played && text ? recorder::save(file, text.view()) : ENOMEM;
  if (error != 0) {
    std::fprintf(stderr, "qav-record: cannot write %s: %s\n", file, std::strerror(error));
    return 1;
  }
  return 0;
}
