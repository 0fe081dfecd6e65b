// The figures the README gives a reader to decide by (durations, sizes), read from it so that a
// test can hold each to what it measures.
#pragma once

#include <string_view>

// The number before `unit` that first follows `marker` in the README, such as 18.5 for
// ("its pauses take", "seconds"); commas between thousands are read past. Fails the test, and
// returns -1, when there is none.
double readme_figure(std::string_view marker, std::string_view unit);

// Expects a measure to be what the README's rounded figure says: within a twentieth of it.
void expect_about(double figure, double measured);
