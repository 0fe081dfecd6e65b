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
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* chromium = "/usr/bin/chromium";

struct PageReading {
  std::vector<std::vector<std::string>> screens;
  std::vector<std::string> errors;
};

class Browser : public testing::Test {
protected:
  void SetUp() override {
    std::string missing;
    if (std::system("command -v node >/dev/null") != 0) {
      missing = "Node.js";
    } else if (!fs::exists(chromium)) {
      missing = "Chromium (Debian package chromium)";
    } else if (!fs::exists(PAGE_DIR "/index.html")) {
      missing = "the page, which the build left out (see its configure output)";
    }
    needs(missing);
  }
};

// The page's terminal at each moment, with Chromium's profile in a folder of the test's own.
PageReading read_page(const std::string& demo, const std::vector<std::string>& moments) {
  const fs::path profile =
      fs::temp_directory_path() / ("demo-browser-" + demo + "-" + std::to_string(::getpid()));
  std::vector<std::string> args{BROWSER_SCRIPT, NPM_DIR, PAGE_DIR "/index.html", profile.string(),
                                demo};
  args.insert(args.end(), moments.begin(), moments.end());
  TempFile output;
  const ChildRun result = run("node", args, {.stdout_fd = output.fd()});
  fs::remove_all(profile);
  EXPECT_EQ(result.status, 0) << result.error_output;

  PageReading reading;
  std::istringstream lines{output.contents()};
  std::vector<std::string>* section = nullptr;
  for (std::string line; std::getline(lines, line);) {
    if (line == "--- screen") {
      section = &reading.screens.emplace_back();
    } else if (line == "--- errors") {
      section = &reading.errors;
    } else if (section != nullptr) {
      section->push_back(line);
    }
  }
  return reading;
}

// Seconds into the recording, half-way through the pause that follows Message 1.
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

void expect_page_plays(const std::string& demo, engine::Script script, std::size_t pause) {
  const PageReading page = read_page(demo, {during_pause_after_message_1(script, pause), "end"});
  EXPECT_EQ(page.errors, std::vector<std::string>{});
  ASSERT_EQ(page.screens.size(), 2U);

  std::string during_pause;
  for (const auto& row : page.screens[0]) {
    during_pause += row + "\n";
  }
  EXPECT_NE(during_pause.find("Dette er min 1ste demo"), std::string::npos) << during_pause;
  EXPECT_EQ(during_pause.find("Til naeste QAV"), std::string::npos) << during_pause;

  ConsoleModel console;
  ASSERT_TRUE(console.play(script));
  EXPECT_EQ(page.screens[1], console.screen());
}

TEST_F(Browser, PagePlaysTheMainDemoAsAnEightyColumnConsoleShowsIt) {
  expect_page_plays("demo", demo::script, 2);
}

TEST_F(Browser, PagePlaysTheShortDemoAsAnEightyColumnConsoleShowsIt) {
  expect_page_plays("demo_short", demo_short::script, 1);
}

} // namespace
