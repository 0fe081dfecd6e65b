#include "child_process.hpp"
#include "console_model.hpp"
#include "needs.hpp"
#include "recording.hpp"

#include "demo/script.hpp"
#include "demo_short/script.hpp"
#include "engine/console_speed.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A browser, and whether it opens the page from disk, from a static server on this machine, or
// as the one file that holds it all, copied alone into an empty folder.
struct Way {
  const char* browser;
  const char* origin;
  bool single() const { return std::string_view{origin} == "single"; }
};

void PrintTo(const Way& way, std::ostream* out) {
  *out << way.browser << ", " << way.origin;
}

std::string way_name(const testing::TestParamInfo<Way>& info) {
  return std::string{info.param.browser} + "_" + info.param.origin;
}

constexpr long speeds[] = {CONSOLE_SPEEDS};

struct PageReading {
  std::optional<std::size_t> first_view_bytes; // not had for Firefox from disk
  std::vector<std::vector<std::string>> screens;
  std::vector<std::string> errors;
};

class Browser : public testing::TestWithParam<Way> {
protected:
  void SetUp() override {
    const bool firefox = std::string_view{GetParam().browser} == "firefox";
    std::string missing;
    if (std::system("command -v node >/dev/null") != 0) {
      missing = "Node.js";
    } else if (!firefox && !fs::exists("/usr/bin/chromium")) {
      missing = "Chromium (Debian package chromium)";
    } else if (firefox && !fs::exists("/usr/bin/firefox-esr")) {
      missing = "Firefox (Debian package firefox-esr)";
    } else if (!fs::exists(PAGE_DIR "/index.html")) {
      missing = "the page, which the build left out (see its configure output)";
    }
    needs(missing);
  }
};

// What the page shows for each reading ("NAME@SPEED:MOMENT,..."), with the browser's profile in
// a folder of the test's own.
PageReading read_page(const Way& way, const std::vector<std::string>& readings) {
  const fs::path profile = fs::temp_directory_path() / ("demo-browser-" + std::string{way.browser} +
                                                        "-" + std::to_string(::getpid()));
  const fs::path alone = profile.string() + "-alone";
  std::string page_dir = PAGE_DIR;
  if (way.single()) {
    fs::create_directories(alone);
    fs::copy_file(SINGLE_FILE, alone / "qav-demos.html");
    page_dir = alone.string();
  }
  std::vector<std::string> args{BROWSER_SCRIPT, way.browser,      NPM_DIR,
                                page_dir,       profile.string(), way.origin};
  args.insert(args.end(), readings.begin(), readings.end());
  TempFile output;
  const ChildRun result = run("node", args, {.stdout_fd = output.fd()});
  fs::remove_all(profile);
  fs::remove_all(alone);
  EXPECT_EQ(result.status, 0) << result.error_output;

  PageReading reading;
  std::istringstream lines{output.contents()};
  std::vector<std::string>* section = nullptr;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("--- first view ")) {
      reading.first_view_bytes = std::stoul(line.substr(15));
    } else if (line.starts_with("--- screen")) {
      section = &reading.screens.emplace_back();
    } else if (line == "--- errors") {
      section = &reading.errors;
    } else if (section != nullptr) {
      section->push_back(line);
    }
  }
  return reading;
}

// Seconds into the recording at the default speed, half-way through the pause that follows
// Message 1.
std::string during_pause_after_message_1(engine::Script script, std::size_t pause) {
  const Recording recording = Recording::of(script);
  double at = 0;
  for (std::size_t i = 0; i < pause; ++i) {
    at += static_cast<double>(recording.pauses[i].duration.count()) / 1000;
  }
  const auto& after_message_1 = recording.pauses[pause];
  at += static_cast<double>(after_message_1.after_bytes) / engine::default_console_speed +
        static_cast<double>(after_message_1.duration.count()) / 2000;
  return std::to_string(at);
}

std::string joined(const std::vector<std::string>& rows) {
  std::string text;
  for (const auto& row : rows) {
    text += row + "\n";
  }
  return text;
}

// Both demos: Message 1 alone during its pause, and at every speed the last picture an 80-column
// console makes of the demo's bytes. The first view, the main demo's poster with everything it
// needs, loads at most 400,000 bytes; the single file holds the default speed alone, in at most
// 1,500,000.
TEST_P(Browser, PlaysBothDemosAtEverySpeedAsAnEightyColumnConsoleShowsThemAndStartsLight) {
  const Way way = GetParam();
  std::vector<long> offered{std::begin(speeds), std::end(speeds)};
  if (way.single()) {
    offered = {engine::default_console_speed};
  }
  struct Demo {
    const char* name;
    engine::Script script;
    std::size_t pause_after_message_1;
  };
  const Demo demos[] = {{"demo", demo::script, 2}, {"demo_short", demo_short::script, 1}};
  std::vector<std::string> readings;
  for (const Demo& demo : demos) {
    for (const long speed : offered) {
      const std::string choice = std::string{demo.name} + "@" + std::to_string(speed) + ":";
      readings.push_back(
          choice +
          (speed == engine::default_console_speed
               ? during_pause_after_message_1(demo.script, demo.pause_after_message_1) + ","
               : "") +
          "end");
    }
  }
  const PageReading page = read_page(way, readings);
  EXPECT_EQ(page.errors, std::vector<std::string>{});
  if (std::string_view{way.browser} == "chromium" || std::string_view{way.origin} == "http") {
    ASSERT_TRUE(page.first_view_bytes);
    EXPECT_GT(*page.first_view_bytes, 0U);
    EXPECT_LE(*page.first_view_bytes, way.single() ? 1'500'000U : 400'000U);
  }
  ASSERT_EQ(page.screens.size(), 2 * (offered.size() + 1));

  auto screen = page.screens.begin();
  for (const Demo& demo : demos) {
    ConsoleModel console;
    ASSERT_TRUE(console.play(demo.script));
    for (const long speed : offered) {
      SCOPED_TRACE(std::string{demo.name} + " at " + std::to_string(speed));
      if (speed == engine::default_console_speed) {
        const std::string during_pause = joined(*screen++);
        EXPECT_NE(during_pause.find("Dette er min 1ste demo"), std::string::npos) << during_pause;
        EXPECT_EQ(during_pause.find("Til naeste QAV"), std::string::npos) << during_pause;
      }
      EXPECT_EQ(*screen++, console.screen());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(, Browser,
                         testing::Values(Way{"chromium", "file"}, Way{"chromium", "http"},
                                         Way{"firefox", "http"}, Way{"chromium", "single"},
                                         Way{"firefox", "single"}),
                         way_name);

} // namespace
