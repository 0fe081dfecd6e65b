// Reads the README's figures for the tests that measure them.

#include "readme_figures.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
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
  std::smatch match;
  const std::string after = text.substr(at + marker.size());
  if (!std::regex_search(after, match,
                         std::regex{"([0-9][0-9,]*(\\.[0-9]+)?)\\s+" + std::string{unit}})) {
    ADD_FAILURE() << "the README gives no figure in " << unit << " after '" << marker << "'";
    return -1;
  }
  std::string number = match[1];
  std::erase(number, ',');
  return std::stod(number);
}

void expect_about(double figure, double measured) {
  EXPECT_NEAR(measured, figure, figure / 20) << "the README's figure is no longer right";
}
