// The launcher's performance of the stand-in as the console holds it: its rows, its size and
// cursor, read back from the console itself and compared with the console model's; and its pacing,
// timed from the moments the message, the first box and the banner appear.

#include "performance_check.hpp"

#include "checks.hpp"
#include "console_screen.hpp"
#include "launcher_console.hpp"
#include "stand_in_picture.hpp"
#include "stand_in_script.hpp"

#include <fstream>
#include <windows.h>

using namespace std::chrono_literals;

namespace {

double seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// How long the console takes to draw the bytes from `from` up to `to` at `speed`.
double drawing(std::size_t from, std::size_t to, long speed) {
  return static_cast<double>(to - from) / static_cast<double>(speed);
}

// How far a loaded machine moves the moments seen: a stall while the message is drawn shows it
// late, which shortens the pause seen; any stall lengthens the drawing, which is never quicker
// than its speed allows but for a frame's worth. Measured at load averages of 5 to 7 on two
// cores, two busy loops beside the test at times: the pause seen 0.12 s short to 0.3 s long,
// the boxes 0.99 to 1.47 times their time.
constexpr double pause_early = 0.25; // seconds
constexpr double pause_late = 0.5;
constexpr double speed_slack = 2.0; // times the time at the speed asked for

} // namespace

int check_performance(const std::string& folder, long speed, const std::string& rows_file) {
  if (!attach_to_launcher(folder)) {
    return verdict();
  }
  const StandInPicture expected = stand_in_picture();
  const std::string message = "Fortsat godt party";
  const std::string banner = "QAV FOREVER";
  const auto until = Clock::now() + 60s;
  const auto shown_message = await_text(message, until);
  const auto shown_box = await_text("#", until);
  const auto shown_banner = await_text(banner, until);
  check(shown_message && shown_box && shown_banner, "the message, the boxes and the banner shown");
  if (!shown_banner) {
    return verdict();
  }
  Sleep(300); // the rest of the banner's line
  const Screen screen = active_screen();
  check(screen.columns == 80 && screen.rows == 25 && screen.window_columns == 80 &&
            screen.window_rows == 25,
        "the buffer and its window are 80 by 25: " + std::to_string(screen.columns) + " by " +
            std::to_string(screen.rows) + ", " + std::to_string(screen.window_columns) + " by " +
            std::to_string(screen.window_rows));
  std::ofstream saved{rows_file, std::ios::binary};
  bool same = screen.lines.size() == expected.rows.size();
  for (std::size_t i = 0; i < screen.lines.size(); ++i) {
    saved << screen.lines[i] << '\n';
    const bool row_same = i < expected.rows.size() && screen.lines[i] == expected.rows[i];
    if (!row_same) {
      std::printf("row %2zu is   |%s|\n       not  |%s|\n", i, screen.lines[i].c_str(),
                  i < expected.rows.size() ? expected.rows[i].c_str() : "");
    }
    same = same && row_same;
  }
  check(same, "the rows read back are the console model's");
  check(screen.cursor_row == expected.cursor_row && screen.cursor_column == expected.cursor_column,
        "the cursor is where the model has it");

  if (speed != 0) {
    // The demo writes everything up to the end of the message's line at once, then pauses;
    // what it wrote is drawn during the pause, which therefore shows shorter by that much.
    const std::string& bytes = expected.bytes;
    const std::size_t message_at = bytes.find(message);
    const std::size_t message_end = message_at + message.size();
    const std::size_t pause_at = message_at + engine::Line{demo::lines::Message3}.size();
    const std::size_t box_at = bytes.find('#') + 1;
    const std::size_t banner_end = bytes.find(banner) + banner.size();
    const double gap = seconds(stand_in::message_pause) - drawing(0, message_end, speed) +
                       drawing(pause_at, box_at, speed);
    const double measured_gap = seconds(*shown_box - *shown_message);
    check(measured_gap >= gap - pause_early && measured_gap <= gap + pause_late,
          "the pause after the message: " + std::to_string(measured_gap) + " s for " +
              std::to_string(gap));
    const double chain = drawing(box_at, banner_end, speed);
    const double measured_chain = seconds(*shown_banner - *shown_box);
    check(measured_chain >= chain * 0.9 && measured_chain <= chain * speed_slack,
          "the boxes at " + std::to_string(speed) + " characters a second: " +
              std::to_string(measured_chain) + " s for " + std::to_string(chain));
  }
  return verdict();
}
