// What a test needs from the machine: skipped without it, failed without it under CI.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// For a test's SetUp: when `missing` names what the test needs and the machine lacks, the test
// is skipped with the reason, except under CI, which runs every test, where it fails.
inline void needs(const std::string& missing) {
  if (missing.empty()) {
    return;
  }
  if (std::getenv("CI") != nullptr) {
    FAIL() << missing << " is missing, and CI runs every test";
  }
  GTEST_SKIP() << "this test needs " << missing;
}
