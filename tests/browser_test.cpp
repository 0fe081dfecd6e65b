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

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The page's own speed and one it does not name.
constexpr long speeds[] = {engine::default_console_speed, 7'777};

// A demo's performance on the console's clock: when a character is drawn, and the screens an
// 80-column console shows at given moments, as the capture's frames show them.
class Timed {
public:
  Timed(const engine::Script& script, long speed)
      : recording_{Recording::of(script)}, speed_{speed} {}

  // When the character with this count is drawn.
  std::int64_t drawn_at(std::size_t count) const {
    ConsoleClock clock{speed_};
    for (const Recording::PauseAt& pause : recording_.pauses) {
      if (pause.after_bytes < count) {
        clock.pause(pause.duration);
      }
    }
    return clock.drawn_at_ns(static_cast<std::int64_t>(count));
  }

  std::int64_t duration() const {
    ConsoleClock clock{speed_};
    for (const Recording::PauseAt& pause : recording_.pauses) {
      clock.pause(pause.duration);
    }
    clock.draw(static_cast<std::int64_t>(recording_.output.size()));
    return clock.now_ns();
  }

  // Where each chapter's first character is drawn, counted from 1: the counter, the messages,
  // the boxes and, in the main demo, the banner's line.
  std::vector<std::size_t> chapters() const {
    const std::string& out = recording_.output;
    std::vector<std::size_t> found{1};
    for (const char* text : {"Dette er min", "Til naeste QAV", "Fortsat godt"}) {
      found.push_back(out.find(text) + 1);
    }
    found.push_back(out.find('#') + 1);
    if (const std::size_t banner = out.rfind("   QAV FOREVER"); banner != std::string::npos) {
      found.push_back(banner + 1);
    }
    return found;
  }

  // The screen at each moment, ascending, with no empty rows at its end.
  std::vector<std::string> screens_at(const std::vector<std::int64_t>& moments) const {
    ConsoleClock clock{speed_};
    ConsoleModel console;
    std::size_t drawn = 0;
    std::size_t pauses = 0;
    std::vector<std::string> screens;
    for (const std::int64_t moment : moments) {
      for (;;) {
        const bool pause_next = pauses < recording_.pauses.size();
        const std::size_t until =
            pause_next ? recording_.pauses[pauses].after_bytes : recording_.output.size();
        const auto take =
            std::min(static_cast<std::size_t>(clock.drawable_by(moment)), until - drawn);
        console.draw(std::string_view{recording_.output}.substr(drawn, take));
        clock.draw(static_cast<std::int64_t>(take));
        drawn += take;
        if (drawn < until || !pause_next ||
            clock.now_ns() + std::chrono::nanoseconds{recording_.pauses[pauses].duration}.count() >
                moment) {
          break;
        }
        clock.pause(recording_.pauses[pauses++].duration);
      }
      screens.push_back(joined(console.screen()));
    }
    return screens;
  }

  static std::string joined(std::vector<std::string> rows) {
    while (!rows.empty() && rows.back().empty()) {
      rows.pop_back();
    }
    std::string text;
    for (const auto& row : rows) {
      text += row + "\n";
    }
    return text;
  }

private:
  Recording recording_;
  long speed_;
};

// Forty moments across the performance, and each chapter's first moment and the nanosecond
// before it.
std::vector<std::int64_t> moments_of(const Timed& timed) {
  std::vector<std::int64_t> moments;
  for (int i = 0; i <= 40; ++i) {
    moments.push_back(timed.duration() * i / 40);
  }
  for (const std::size_t chapter : timed.chapters()) {
    moments.push_back(timed.drawn_at(chapter));
    moments.push_back(timed.drawn_at(chapter) - 1);
  }
  std::sort(moments.begin(), moments.end());
  moments.erase(std::unique(moments.begin(), moments.end()), moments.end());
  return moments;
}

// Both demos at two speeds: the console's screens equal the console model's at 50 moments or
// more, the chapters' first moments among them, and after a click on each chapter button. The
// first view, the main demo's poster with everything it needs to play, loads at most 80,000
// bytes, and the short demo adds at most 10,000; the single file is at most 150,000.
void expect_page_plays_both_demos(const Way& way) {
  needs(missing_for(way));
  struct Demo {
    const char* name;
    engine::Script script;
  };
  const Demo demos[] = {{"demo", scripts::demo}, {"demo_short", scripts::demo_short}};
  std::vector<std::string> readings;
  std::vector<std::string> expected;
  for (const Demo& demo : demos) {
    for (const long speed : speeds) {
      const Timed timed{demo.script, speed};
      const std::string choice = std::string{demo.name} + "@" + std::to_string(speed);
      const std::vector<std::int64_t> moments = moments_of(timed);
      std::string reading = choice + ":";
      for (const std::int64_t moment : moments) {
        reading += std::to_string(moment) + (moment == moments.back() ? "" : ",");
      }
      readings.push_back(reading);
      for (std::string& screen : timed.screens_at(moments)) {
        expected.push_back(choice + " " + std::move(screen));
      }
      readings.push_back(choice + ":chapters");
      std::vector<std::int64_t> chapters;
      for (const std::size_t chapter : timed.chapters()) {
        chapters.push_back(timed.drawn_at(chapter));
      }
      for (std::string& screen : timed.screens_at(chapters)) {
        expected.push_back(choice + " " + std::move(screen));
      }
    }
  }
  const PageReading page = read_page(way, readings);
  EXPECT_EQ(page.status, 0) << page.error_output;
  EXPECT_EQ(Timed::joined(page.errors), "");
  if (way.single()) {
    EXPECT_LE(std::filesystem::file_size(SINGLE_FILE), 150'000U);
  } else if (!way.firefox() || std::string_view{way.origin} == "http") {
    ASSERT_TRUE(page.first_view_bytes);
    EXPECT_GT(*page.first_view_bytes, 0U);
    EXPECT_LE(*page.first_view_bytes, 80'000U);
  }
  // The sizes the README gives: the first view as the static server counts what it sends, and
  // the single file.
  if (!way.firefox() && std::string_view{way.origin} == "http") {
    ASSERT_TRUE(page.first_view_bytes);
    expect_about(readme_figure("The first view loads about", "KB") * 1000,
                 static_cast<double>(*page.first_view_bytes));
  }
  if (way.single()) {
    expect_about(readme_figure("one file of about", "KB") * 1000,
                 static_cast<double>(std::filesystem::file_size(SINGLE_FILE)));
  }
  EXPECT_LE(std::filesystem::file_size(PAGE_DIR "/performances/demo_short.js"), 10'000U);
  ASSERT_EQ(page.screens.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string& choice = page.screen_names[i];
    EXPECT_EQ(choice.substr(0, choice.find(' ')) + " " + Timed::joined(page.screens[i]),
              expected[i])
        << "at " << choice;
  }
}

TEST(Browser, ChromiumFromDiskPlaysBothDemosAtTwoSpeeds) {
  expect_page_plays_both_demos({"chromium", "file"});
}

TEST(Browser, ChromiumOverHttpPlaysBothDemosAtTwoSpeeds) {
  expect_page_plays_both_demos({"chromium", "http"});
}

TEST(Browser, FirefoxOverHttpPlaysBothDemosAtTwoSpeeds) {
  expect_page_plays_both_demos({"firefox", "http"});
}

TEST(Browser, ChromiumPlaysTheSingleFileAlone) {
  expect_page_plays_both_demos({"chromium", "single"});
}

TEST(Browser, FirefoxPlaysTheSingleFileAlone) {
  expect_page_plays_both_demos({"firefox", "single"});
}

// At every window size nothing scrolls sideways; where the window is wider than high, the title,
// both choices, the console, its controls and, down to 844 by 390, its status line are on the
// first screen; the poster is there before the page's script, and Play pressed then says it is
// loading and plays once the script is there; Back returns to the choice before; a click on the
// console plays and pauses; the opening pause shows the blinking cursor at the top left, says
// whose pause it is and can be skipped; a change of speed keeps the place, playing or paused; the
// link to a moment reopens its screen; a choice made while another demo loads ends on it; every
// display frame draws its own moment; axe-core finds nothing, while playing.
void expect_visitor_meets_whole_page(const char* browser) {
  const Way way{browser, "http"};
  needs(missing_for(way));
  const PageVisit visit = visit_page(way);
  EXPECT_EQ(visit.status, 0) << visit.error_output;
  const std::string chromium_only =
      way.firefox()
          ? ""
          : R"(demo_short chosen while its data is delayed, then demo: demo, demo, loaded, playing
frames over two seconds of the boxes: every frame drawn, each its own moment, each new, 50 or more a second
)";
  EXPECT_EQ(visit.seen, R"(1280x800: sideways 0, console and Play inside the window
1280x800 in view: title demo speed console controls status
1366x768: sideways 0, console and Play inside the window
1366x768 in view: title demo speed console controls status
1920x1080: sideways 0, console and Play inside the window
1920x1080 in view: title demo speed console controls status
844x390: sideways 0, console and Play inside the window
844x390 in view: title demo speed console controls status
390x844: sideways 0, console and Play inside the window
640x400: sideways 0, console and Play inside the window
640x400 in view: title demo speed console controls
poster with the page's script held back: boxes, before the script
Play pressed before the script: Loading…, then Pause
Back after choosing demo_short: index.html, demo
click on the console: plays, pauses
opening pause: cursor at 0,0 blinking; "The demo's own opening pause: 8 seconds of an empty console before the counter."; skipped to Counter, cursor steady when paused
speed changed: #demo/60000/300000 #demo/240000/300000; #demo/60000/23890/1500 #demo/240000/23890/1500; playing same characters, still playing; slider half-way #demo/17321/300000
link to this moment: #demo/20000/24862/956 same screen, #demo/20000/24214/89 same screen
)" + chromium_only + R"(axe-core at the first view: no violations
axe-core at the demo playing: no violations
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
