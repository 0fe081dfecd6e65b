// The Wine tests' verdicts: one line a check, "ok:" or "FAILED:", which CTest looks for.
#pragma once

#include <cstdio>
#include <string>

inline int failures = 0;

inline void check(bool ok, const std::string& what) {
  std::printf("%s%s\n", ok ? "ok:     " : "FAILED: ", what.c_str());
  std::fflush(stdout);
  failures += ok ? 0 : 1;
}

// The exit status for the checks so far.
inline int verdict() {
  return failures == 0 ? 0 : 1;
}
