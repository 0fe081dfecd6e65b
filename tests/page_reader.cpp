// Runs the browser script that reads the page, and finds what the machine lacks for it.

#include "page_reader.hpp"

#include "child_process.hpp"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

std::string missing_for(const Way& way) {
  if (std::system("command -v node >/dev/null") != 0) {
    return "Node.js";
  }
  if (!way.firefox() && !fs::exists("/usr/bin/chromium")) {
    return "Chromium (Debian package chromium)";
  }
  if (way.firefox() && !fs::exists("/usr/bin/firefox-esr")) {
    return "Firefox (Debian package firefox-esr)";
  }
  if (!fs::exists(PAGE_DIR "/index.html")) {
    return "the page, which the build left out (see its configure output)";
  }
  return "";
}

namespace {

fs::path profile_for(const Way& way) {
  return fs::temp_directory_path() /
         ("demo-browser-" + std::string{way.browser} + "-" + std::to_string(::getpid()));
}

} // namespace

PageReading read_page(const Way& way, const std::vector<std::string>& readings) {
  const fs::path profile = profile_for(way);
  const fs::path alone = profile.string() + "-alone";
  std::string page_dir = PAGE_DIR;
  if (way.single()) {
    fs::create_directories(alone);
    fs::copy_file(SINGLE_FILE, alone / "qav-demos.html");
    page_dir = alone.string();
  }
  std::vector<std::string> args{
      BROWSER_DIR "/read_page.mjs", way.browser, NPM_DIR, page_dir, profile.string(), way.origin};
  args.insert(args.end(), readings.begin(), readings.end());
  TempFile output;
  const ChildRun result = run("node", args, {.stdout_fd = output.fd()});
  fs::remove_all(profile);
  fs::remove_all(alone);

  PageReading reading;
  reading.status = result.status;
  reading.error_output = result.error_output;
  std::istringstream lines{output.contents()};
  std::vector<std::string>* section = nullptr;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("--- first view ")) {
      reading.first_view_bytes = std::stoul(line.substr(15));
    } else if (line.starts_with("--- screen ")) {
      reading.screen_names.push_back(line.substr(11));
      section = &reading.screens.emplace_back();
    } else if (line == "--- errors") {
      section = &reading.errors;
    } else if (section != nullptr) {
      section->push_back(line);
    }
  }
  return reading;
}

PageVisit visit_page(const Way& way) {
  const fs::path profile = profile_for(way);
  TempFile output;
  const ChildRun result =
      run("node", {BROWSER_DIR "/visit_page.mjs", way.browser, NPM_DIR, PAGE_DIR, profile.string()},
          {.stdout_fd = output.fd()});
  fs::remove_all(profile);
  return {output.contents(), result.status, result.error_output};
}
