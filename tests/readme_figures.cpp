// Reads the README's figures for the tests that measure them.

#include "readme_figures.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

double readme_figure(std::string_view marker, std::string_view unit) {
  std::ifstream file{PROJECT_SOURCE_DIR "/README.md"};
  std::stringstream readme;
  readme << file.rdbuf();
  const std::string text = readme.str();
  const std::size_t at = text.find(marker);
  if (at == std::string::npos) {
    ADD_FAILURE() << "the README no longer says '" << marker << "'";
    return -1;
  }
  // The first number, read past the commas between its thousands, that the unit follows.
  const std::string_view after = std::string_view{text}.substr(at + marker.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(after[i]))) {
      continue;
    }
    std::string number;
    std::size_t end = i;
    while (end < after.size() && (std::isdigit(static_cast<unsigned char>(after[end])) ||
                                  after[end] == ',' || after[end] == '.')) {
      if (after[end] != ',') {
        number += after[end];
      }
      ++end;
    }
    std::size_t next = end;
    while (next < after.size() && std::isspace(static_cast<unsigned char>(after[next]))) {
      ++next;
    }
    if (next > end && after.substr(next).starts_with(unit)) {
      return std::stod(number);
    }
    i = end;
  }
  ADD_FAILURE() << "the README gives no figure in " << unit << " after '" << marker << "'";
  return -1;
}

void expect_about(double figure, double measured) {
  EXPECT_NEAR(measured, figure, figure / 20) << "the README's figure is no longer right";
}
