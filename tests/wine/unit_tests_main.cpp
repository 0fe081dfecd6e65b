// Runs the unit tests that gtest/gtest.h has gathered, each named before its checks.

#include "gtest/gtest.h"

int main() {
  for (const auto& [name, run] : unit_tests::all()) {
    std::printf("%s\n", name);
    run();
  }
  return verdict();
}
