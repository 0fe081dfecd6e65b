// Records a demo's performance as a terminal recording (asciicast v2), drawn at a console's
// speed, by playing the demo's own script on a virtual clock.
//
//   qav-record [--speed S] demo|demo_short FILE

#include "catalog/demos.hpp"
#include "cli/command_line.hpp"
#include "engine/console_speed.hpp"
#include "engine/script.hpp"
#include "os/save.hpp"
#include "recorder/cast_recorder.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace {

constexpr const char* name = "qav-record";

std::string help() {
  return "Usage: qav-record [--speed S] demo|demo_short FILE\n"
         "Records the demo's performance as a terminal recording (asciicast v2, 80 by 25), drawn\n"
         "at S characters a second (default " +
         std::to_string(engine::default_console_speed) +
         "), its pauses at their length. FILE is\n"
         "saved whole or not at all.\n\n"
         "Exit status: 0 when saved, 1 when it could not be, 2 for a bad command line.\n";
}

} // namespace

int main(int argc, char* argv[]) {
  static constexpr std::array known{cli::Option{"speed", true}};
  const cli::Reading reading = cli::read(argc, argv, known);
  if (reading.help) {
    return cli::help(name, help());
  }
  if (!reading.error.empty()) {
    return cli::bad_use(name, reading.error);
  }
  long speed = engine::default_console_speed;
  std::string error;
  for (const auto& [option, value] : reading.given) {
    // A recording is drawn at some speed: 0, as it comes, has no clock to keep.
    const std::optional<long> given = cli::read_speed(value, 1, error);
    if (!given) {
      return cli::bad_use(name, error);
    }
    speed = *given;
  }
  if (reading.operands.size() != 2) {
    return cli::bad_use(name, reading.operands.size() < 2 ? "a demo and a file to record it in"
                                                          : "one demo and one file, no more");
  }
  const std::string_view which = reading.operands[0];
  const char* file = reading.operands[1];
  const std::optional<engine::Script> script = catalog::script_named(which);
  if (!script) {
    return cli::bad_use(name,
                        "there is no demo called '" + std::string{which} + "': demo or demo_short");
  }
  if (*file == '\0') {
    return cli::bad_use(name, "the file's name is empty");
  }
  // Past a file size limit a write fails, to be reported and cleaned up like any other, rather
  // than killing the recorder with its temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::string title = std::string{which} + ", drawn at " + std::to_string(speed) +
                            " characters a second on an 80-column console";
  // Made whole in memory, a few megabytes, then saved whole or not at all. A string stream fails
  // only when it cannot grow.
  std::ostringstream text;
  recorder::CastRecorder cast{text, speed, title};
  const bool played = engine::play(*script, cast);
  cast.finish();
  if (!played || !text) {
    std::fprintf(stderr, "%s: cannot hold the recording of %s in memory: %s\n", name,
                 std::string{which}.c_str(), std::strerror(ENOMEM));
    return 1;
  }
  if (const int saved = os::save(file, text.view(), "qav-record"); saved != 0) {
    std::fprintf(stderr, "%s: cannot write %s: %s\n", name, file, std::strerror(saved));
    return 1;
  }
  return 0;
}
