// The little of GoogleTest that the pacer's unit tests use, for the Windows builds, for which
// Debian has no GoogleTest: the same test source runs on both platforms. Each test is a function
// that the main in unit_tests_main.cpp runs; each expectation is a check of its own.
#pragma once

#include "checks.hpp"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace unit_tests {

using Test = std::pair<const char*, void (*)()>;

inline std::vector<Test>& all() {
  static std::vector<Test> tests;
  return tests;
}

struct Registered {
  Registered(const char* name, void (*run)()) { all().emplace_back(name, run); }
};

inline std::string where(const char* text, int line) {
  return std::string{text} + " (line " + std::to_string(line) + ")";
}

template <class Actual, class Expected>
void expect_eq(const Actual& actual, const Expected& expected, const char* text, int line) {
  check(actual == expected, where(text, line));
}

inline void expect_near(double actual, double expected, double within, const char* text, int line) {
  check(std::fabs(actual - expected) <= within, where(text, line));
}

} // namespace unit_tests

#define TEST(suite, name)                                                                          \
  void suite##_##name();                                                                           \
  const unit_tests::Registered suite##_##name##_registered{#suite "." #name, suite##_##name};      \
  void suite##_##name()
#define EXPECT_EQ(actual, expected)                                                                \
  unit_tests::expect_eq((actual), (expected), #actual " == " #expected, __LINE__)
#define EXPECT_NEAR(actual, expected, within)                                                      \
  unit_tests::expect_near((actual), (expected), (within), #actual " near " #expected, __LINE__)
