// The page in a real browser, read by tests/browser/read_page.mjs: what its first view loaded,
// and what its terminal shows at chosen moments; and met as a visitor meets it, by
// tests/browser/visit_page.mjs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A browser, and whether it opens the page from disk, from a static server on this machine, or
// as the one file that holds it all, copied alone into an empty folder.
struct Way {
  const char* browser;
  const char* origin;
  bool firefox() const { return std::string_view{browser} == "firefox"; }
  bool single() const { return std::string_view{origin} == "single"; }
};

struct PageReading {
  std::optional<std::size_t> first_view_bytes; // not had for Firefox from disk
  std::vector<std::vector<std::string>> screens;
  std::vector<std::string> screen_names; // "NAME@SPEED MOMENT" for each screen
  std::vector<std::string> errors;
  int status = -1; // the reader's exit status
  std::string error_output;
};

// What the browser is missing to read the page; empty when nothing is.
std::string missing_for(const Way& way);

// What the page shows for each reading ("NAME@SPEED:MOMENT,..."), with the browser's profile in
// a folder of the reading's own.
PageReading read_page(const Way& way, const std::vector<std::string>& readings);

struct PageVisit {
  std::string seen; // a line for each thing a visitor notices first
  int status = -1;  // the visitor's exit status
  std::string error_output;
};

// The page over a static server, at the window sizes a visitor brings.
PageVisit visit_page(const Way& way);
