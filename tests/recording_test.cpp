#include "child_process.hpp"
#include "digest.hpp"
#include "needs.hpp"

#include "engine/console_speed.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Event {
  double time;
  std::string text;
};

struct Cast {
  std::string header;
  std::vector<Event> events;

  // The output as a program wrote it: each CR LF back to the LF it was.
  std::string output() const {
    std::string bytes;
    for (const Event& event : events) {
      for (std::size_t i = 0; i < event.text.size(); ++i) {
        if (!event.text.compare(i, 2, "\r\n")) {
          continue;
        }
        bytes += event.text[i];
      }
    }
    return bytes;
  }

  // When the first event that holds the text was played.
  double time_of(std::string_view text) const {
    for (const Event& event : events) {
      if (event.text.find(text) != std::string::npos) {
        return event.time;
      }
    }
    ADD_FAILURE() << text << " is not in the recording";
    return -1;
  }
};

// Reads the output events `[time, "o", "text"]`, one a line, that the recorder writes.
Cast read_cast(const std::string& path) {
  std::ifstream file{path};
  Cast cast;
  std::getline(file, cast.header);
  for (std::string line; std::getline(file, line);) {
    Event event{std::stod(line.substr(1)), ""};
    const std::size_t open = line.find(R"(, "o", ")");
    EXPECT_NE(open, std::string::npos) << line;
    for (std::size_t i = open + 8; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\') {
        const char escaped = line[++i];
        event.text += escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped;
      } else {
        event.text += line[i];
      }
    }
    cast.events.push_back(event);
  }
  return cast;
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream file{path, std::ios::binary};
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

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
  ASSERT_FALSE(cast.events.empty());
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

TEST(Recording, IsMadeAnewTheSameInWellUnderASecond) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("recording-test-" + std::to_string(::getpid()) + ".cast");
  const ChildRun made = run(RECORD_PROGRAM, {"demo", path}, {.stdout_fd = -1});
  EXPECT_EQ(made.status, 0);
  EXPECT_LT(made.elapsed, 1s);
  const std::string again = read_file(path);
  std::filesystem::remove(path);
  EXPECT_EQ(again, read_file(cast_path("demo")));
}

// A recording is saved whole or not at all, and every failure says which file and why.
TEST(Recording, IsSavedWholeOrNotAtAllAndAFailureSaysWhy) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("recording-test-folder-" + std::to_string(::getpid()));
  std::filesystem::create_directory(folder);
  const std::string older = (folder / "older.cast").string();
  std::ofstream{older} << "an older recording";
  std::filesystem::permissions(older, std::filesystem::perms{0640});

  // A full file system, as far as the recorder can tell.
  const ChildRun full = run(RECORD_PROGRAM, {"demo", older}, {.file_size_limit = 100'000});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.error_output, "qav-record: cannot write " + older + ": File too large\n");
  EXPECT_TRUE(read_file(older) == "an older recording") << "the older recording was overwritten";

  const ChildRun replaced = run(RECORD_PROGRAM, {"demo_short", older}, {});
  EXPECT_EQ(replaced.status, 0);
  EXPECT_TRUE(read_file(older) == read_file(cast_path("demo_short")));
  EXPECT_EQ(std::filesystem::status(older).permissions(), std::filesystem::perms{0640});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator{folder}, {}), 1)
      << "a temporary file was left behind";
  std::filesystem::remove_all(folder);

  const ChildRun device = run(RECORD_PROGRAM, {"demo_short", "/dev/full"}, {});
  EXPECT_EQ(device.status, 1);
  EXPECT_EQ(device.error_output, "qav-record: cannot write /dev/full: No space left on device\n");
  const ChildRun no_name = run(RECORD_PROGRAM, {"demo", ""}, {});
  EXPECT_EQ(no_name.status, 2);
  EXPECT_EQ(no_name.error_output, "usage: qav-record [--speed S] demo|demo_short FILE\n");
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
