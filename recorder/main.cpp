// Records a demo's performance as a terminal recording (asciicast v2), drawn at a console's
// speed, by playing the demo's own script on a virtual clock.
//
//   qav-record demo|demo_short FILE

#include "demo/script.hpp"
#include "demo_short/script.hpp"
#include "engine/console_speed.hpp"
#include "engine/script.hpp"
#include "recorder/cast_recorder.hpp"

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

int main(int argc, char* argv[]) {
  const std::string_view which = argc == 3 ? argv[1] : "";
  if (which != "demo" && which != "demo_short") {
    std::fputs("usage: qav-record demo|demo_short FILE\n", stderr);
    return 2;
  }
  const engine::Script script =
      which == "demo" ? engine::Script{demo::script} : engine::Script{demo_short::script};
  std::ofstream file{argv[2], std::ios::binary};
  const std::string title = std::string{which} + ", drawn at " +
                            std::to_string(engine::default_console_speed) +
                            " characters a second on an 80-column console";
  recorder::CastRecorder cast{file, engine::default_console_speed, title};
  std::ostream out{&cast};
  const bool played =
      engine::play(script, out, [&](std::chrono::milliseconds pause) { cast.pause(pause); });
  cast.finish();
  if (!played || !file) {
    std::fprintf(stderr, "qav-record: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
