// Records a demo's performance as a terminal recording (asciicast v2), drawn at a console's
// speed, by playing the demo's own script on a virtual clock.
//
//   qav-record demo|demo_short FILE

#include "demo/script.hpp"
#include "demo_short/script.hpp"
#include "engine/console_speed.hpp"
#include "engine/script.hpp"
#include "recorder/cast_recorder.hpp"
#include "recorder/save.hpp"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

int main(int argc, char* argv[]) {
  const std::string_view which = argc == 3 ? argv[1] : "";
  if ((which != "demo" && which != "demo_short") || *argv[2] == '\0') {
    std::fputs("usage: qav-record demo|demo_short FILE\n", stderr);
    return 2;
  }
  // Past a file size limit a write fails, to be reported and cleaned up like any other, rather
  // than killing the recorder with its temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  const engine::Script script =
      which == "demo" ? engine::Script{demo::script} : engine::Script{demo_short::script};
  const std::string title = std::string{which} + ", drawn at " +
                            std::to_string(engine::default_console_speed) +
                            " characters a second on an 80-column console";
  // Made whole in memory, a few megabytes, then saved whole or not at all.
  std::ostringstream text;
  recorder::CastRecorder cast{text, engine::default_console_speed, title};
  std::ostream out{&cast};
  const bool played =
      engine::play(script, out, [&](std::chrono::milliseconds pause) { cast.pause(pause); });
  cast.finish();
  const int error = played && text ? recorder::save(argv[2], text.view()) : ENOMEM;
  if (error != 0) {
    std::fprintf(stderr, "qav-record: cannot write %s: %s\n", argv[2], std::strerror(error));
    return 1;
  }
  return 0;
}
