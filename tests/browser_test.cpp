// The page in real browsers, Chromium and Firefox: from disk, over a static server that counts
// the bytes it sends, and as the single file alone in a folder; and as a visitor meets it.

#include "console/console_clock.hpp"
#include "console/console_model.hpp"
#include "demo_scripts.hpp"
#include "needs.hpp"
#include "page_reader.hpp"
#include "readme_figures.hpp"
#include "recording.hpp"

#include "engine/console_speed.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

namespace {

constexpr long speeds[] = {CONSOLE_SPEEDS};

// Seconds into the recording at the default speed, half-way through the pause that follows
// Message 1.
std::string during_pause_after_message_1(engine::Script script, std::size_t pause) {
  const Recording recording = Recording::of(script);
  ConsoleClock clock{engine::default_console_speed};
  for (std::size_t i = 0; i < pause; ++i) {
    clock.pause(recording.pauses[i].duration);
  }
  const auto& after_message_1 = recording.pauses[pause];
  clock.draw(static_cast<std::int64_t>(after_message_1.after_bytes));
  clock.pause(after_message_1.duration / 2);
  return std::to_string(static_cast<double>(clock.now_ns()) / ConsoleClock::nanoseconds_per_second);
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
void expect_page_plays_both_demos(const Way& way) {
  needs(missing_for(way));
  std::vector<long> offered{std::begin(speeds), std::end(speeds)};
  if (way.single()) {
    offered = {engine::default_console_speed};
  }
  struct Demo {
    const char* name;
    engine::Script script;
    std::size_t pause_after_message_1;
  };
  const Demo demos[] = {{"demo", scripts::demo, 2}, {"demo_short", scripts::demo_short, 1}};
  std::vector<std::string> readings;
  for (const Demo& demo : demos) {
    for (const long speed : offered) {
      std::string reading = std::string{demo.name} + "@" + std::to_string(speed) + ":";
      if (speed == engine::default_console_speed) {
        reading += during_pause_after_message_1(demo.script, demo.pause_after_message_1) + ",";
      }
      readings.push_back(reading + "end");
    }
  }
  const PageReading page = read_page(way, readings);
  EXPECT_EQ(page.status, 0) << page.error_output;
  EXPECT_EQ(joined(page.errors), "");
  if (!way.firefox() || std::string_view{way.origin} == "http") {
    ASSERT_TRUE(page.first_view_bytes);
    EXPECT_GT(*page.first_view_bytes, 0U);
    EXPECT_LE(*page.first_view_bytes, way.single() ? 1'500'000U : 400'000U);
  }
  // The sizes the README gives: the first view as the static server counts what it sends.
  if (!way.firefox() && std::string_view{way.origin} == "http") {
    expect_about(readme_figure("first view loads about", "KB") * 1000,
                 static_cast<double>(*page.first_view_bytes));
  }
  if (way.single()) {
    expect_about(readme_figure("file of about", "MB") * 1'000'000,
                 static_cast<double>(std::filesystem::file_size(SINGLE_FILE)));
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
      EXPECT_EQ(joined(*screen++), joined(console.screen()));
    }
  }
}

TEST(Browser, ChromiumFromDiskPlaysBothDemosAtEverySpeed) {
  expect_page_plays_both_demos({"chromium", "file"});
}

TEST(Browser, ChromiumOverHttpPlaysBothDemosAtEverySpeed) {
  expect_page_plays_both_demos({"chromium", "http"});
}

TEST(Browser, FirefoxOverHttpPlaysBothDemosAtEverySpeed) {
  expect_page_plays_both_demos({"firefox", "http"});
}

TEST(Browser, ChromiumPlaysTheSingleFileAlone) {
  expect_page_plays_both_demos({"chromium", "single"});
}

TEST(Browser, FirefoxPlaysTheSingleFileAlone) {
  expect_page_plays_both_demos({"firefox", "single"});
}

// At every window size nothing scrolls sideways; where the window is wider than high, the title,
// both choices, the console and its controls are on the first screen; the poster is there
// before the player's script; Back returns to the choice before; axe-core finds nothing.
void expect_visitor_meets_whole_page(const char* browser) {
  const Way way{browser, "http"};
  needs(missing_for(way));
  const PageVisit visit = visit_page(way);
  EXPECT_EQ(visit.status, 0) << visit.error_output;
  EXPECT_EQ(visit.seen, R"(1280x800: sideways 0, console and Play inside the window
1280x800 in view: title demo speed console controls
1920x1080: sideways 0, console and Play inside the window
1920x1080 in view: title demo speed console controls
844x390: sideways 0, console and Play inside the window
844x390 in view: title demo speed console controls
390x844: sideways 0, console and Play inside the window
640x400: sideways 0, console and Play inside the window
640x400 in view: title demo speed console controls
poster with the player's script held back: boxes, before the player
Back after choosing demo_short: index.html, demo
axe-core at the first view: no violations
axe-core at the demo_short playing: no violations
errors:
)");
}

TEST(Browser, ChromiumVisitorMeetsTheWholePage) {
  expect_visitor_meets_whole_page("chromium");
}

TEST(Browser, FirefoxVisitorMeetsTheWholePage) {
  expect_visitor_meets_whole_page("firefox");
}

} // namespace
