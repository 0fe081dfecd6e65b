// The packages' menu entries: each valid by desktop-file-validate, and each opening what the
// packages install: either demo's view in a terminal, and the page in the browser.

#include "child_process.hpp"
#include "needs.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

class MenuEntries : public testing::Test {
protected:
  void SetUp() override {
    needs(run("desktop-file-validate", {"--help"}, {}).status == 0
              ? ""
              : "desktop-file-validate (Debian package desktop-file-utils)");
  }
};

TEST_F(MenuEntries, AreValidAndOpenBothDemosAndThePage) {
  std::map<std::string, std::string> opened; // each entry's command, by its file's name
  for (const auto& entry : std::filesystem::directory_iterator{PROJECT_SOURCE_DIR "/packaging"}) {
    if (entry.path().extension() != ".desktop") {
      continue;
    }
    SCOPED_TRACE(entry.path().filename().string());
    TempFile said;
    const ChildRun validated =
        run("desktop-file-validate", {entry.path().string()}, {.stdout_fd = said.fd()});
    EXPECT_EQ(validated.status, 0);
    EXPECT_EQ(said.contents() + validated.error_output, "") << "neither error nor warning nor hint";
    std::ifstream lines{entry.path()};
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("Exec=")) {
        opened[entry.path().filename().string()] = line.substr(5);
      }
    }
  }
  EXPECT_EQ(opened, (std::map<std::string, std::string>{
                        {"qav-demos-page.desktop", "xdg-open /usr/share/qav-demos/web/index.html"},
                        {"qav-watch-short.desktop", "qav-watch demo_short"},
                        {"qav-watch.desktop", "qav-watch demo"}}));
}

} // namespace
