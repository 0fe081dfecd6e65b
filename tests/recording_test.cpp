// The recordings the build made: their bytes, frames and pauses at every speed, and asciinema
// playing them back.

#include "cast_file.hpp"
#include "child_process.hpp"
#include "digest.hpp"
#include "needs.hpp"

#include "engine/console_speed.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr long speeds[] = {CONSOLE_SPEEDS};

std::string cast_path(const char* program, long speed = engine::default_console_speed) {
  return std::string{CAST_DIR} + "/" + program + "-" + std::to_string(speed) + ".cast";
}

void expect_exact_and_framed(const Cast& cast, const Expected& expected, double pauses,
                             const char* program, long speed) {
  EXPECT_TRUE(cast.header.starts_with(R"({"version": 2, "width": 80, "height": 25, "title": ")" +
                                      std::string{program} + ", drawn at " + std::to_string(speed) +
                                      " characters"))
      << cast.header;
  const std::string output = cast.output();
  EXPECT_EQ(output.size(), expected.bytes);
  EXPECT_EQ(fnv1a(output), expected.digest);

  // One event a frame at most, each timed when its last character is drawn: a frame after the
  // one before it, unless a pause follows and it ends part of the way through its frame. The
  // last event is empty, at the end of the closing pause.
  const double frame_less_a_character = 1.0 / 60 - 1.0 / static_cast<double>(speed) - 1e-6;
  const auto& events = cast.events;
  for (std::size_t i = 1; i + 1 < events.size(); ++i) {
    const bool before_a_pause = events[i + 1].time - events[i].time >= 0.5;
    if (!before_a_pause) {
      ASSERT_GE(events[i].time - events[i - 1].time, frame_less_a_character) << "event " << i;
    }
  }
  EXPECT_EQ(cast.events.back().text, "");
  EXPECT_NEAR(cast.events.back().time,
              pauses + static_cast<double>(expected.bytes) / static_cast<double>(speed), 1e-5);
}

// At every speed only the drawing is faster or slower: each pause keeps its length.
TEST(Recording, OfTheMainDemoIsItsOutputDrawnAtEachSpeedWithItsPauses) {
  for (const long speed : speeds) {
    SCOPED_TRACE(speed);
    const double s = static_cast<double>(speed);
    const Cast cast = read_cast(cast_path("demo", speed));
    expect_exact_and_framed(cast, demo_output, 18.5, "demo", speed);

    EXPECT_NEAR(cast.events.front().time, 8.0, 1.0 / 60 + 1e-6);
    const double message_1 = cast.time_of("Dette er min");
    const double message_2 = cast.time_of("Til naeste QAV");
    const double message_3 = cast.time_of("Fortsat godt");
    const double first_box = cast.time_of("#######");
    EXPECT_NEAR(message_1, 8.0 + 2.0 + (23'890 + 4 * 81) / s, 1.0 / 60);
    EXPECT_GE(message_2 - message_1, 2.0);
    EXPECT_GE(message_3 - message_2, 2.0);
    EXPECT_GE(first_box - message_3, 1.0);
    EXPECT_NEAR(cast.time_of("QAV FOREVER") - first_box, 605'421 / s, 0.05);
  }
}

TEST(Recording, OfTheShortDemoIsItsOutputDrawnAtEachSpeedWithItsPauses) {
  for (const long speed : speeds) {
    SCOPED_TRACE(speed);
    const Cast cast = read_cast(cast_path("demo_short", speed));
    expect_exact_and_framed(cast, demo_short_output, 7.5, "demo_short", speed);

    const double message_1 = cast.time_of("Dette er min");
    EXPECT_NEAR(message_1, 2.0 + (1'288'890 + 81) / static_cast<double>(speed), 1.0 / 60);
    EXPECT_GE(cast.time_of("Til naeste QAV") - message_1, 2.0);
  }
}

class Asciinema : public testing::Test {
protected:
  void SetUp() override {
    const bool installed =
        std::system("command -v asciinema >/dev/null 2>&1 && command -v script >/dev/null") == 0;
    needs(installed ? "" : "asciinema (Debian package asciinema)");
  }
};

// asciinema itself plays back exactly the bytes a terminal would get: CR LF for each newline.
TEST_F(Asciinema, PlaysTheRecordingsBackByteForByte) {
  for (const auto& [program, expected] :
       {std::pair{"demo", demo_output_crlf}, std::pair{"demo_short", demo_short_output_crlf}}) {
    const auto played = std::filesystem::temp_directory_path() /
                        ("asciinema-test-" + std::to_string(::getpid()) + "-" + program);
    // asciinema cat wants a terminal, which script gives it.
    const std::string command =
        "asciinema cat '" + cast_path(program) + "' > '" + played.string() + "'";
    TempFile ignored;
    const ChildRun result =
        run("script", {"-q", "-e", "-c", command, "/dev/null"}, {.stdout_fd = ignored.fd()});
    EXPECT_EQ(result.status, 0) << result.error_output;
    const std::string bytes = read_file(played);
    std::filesystem::remove(played);
    EXPECT_EQ(bytes.size(), expected.bytes) << program;
    EXPECT_EQ(fnv1a(bytes), expected.digest) << program;
  }
}

} // namespace
