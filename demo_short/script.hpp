// The short demo's script: the counter, the messages with their pauses and two boxes.
#pragma once

#include "demo_short/lines.hpp"
#include "engine/script.hpp"
#include "engine/script_facts.hpp"

#include <chrono>

namespace demo_short {

using namespace std::chrono_literals;
using engine::Count;
using engine::Pause;
using engine::Print;
using namespace lines;

// No opening pause: the counter starts at once. The art is a blank line and two boxes.
// clang-format off
inline constexpr engine::Step script[] = {
    Count{200'000},
    Pause{2000ms},
    Print{Message1},
    Pause{2000ms},
    Print{Message2},
    Pause{2000ms},
    Print{Message3},
    Pause{1000ms},
    Print{B81}, Print{E81}, Print{S81}, Print{S81}, Print{E81},
    Print{B81}, Print{E81}, Print{S81}, Print{S81}, Print{E81},
    Pause{500ms},
};
// clang-format on

static_assert(engine::facts::table_in_first_use_order(script, table));
static_assert(engine::facts::totals(script).print_steps == 13);
static_assert(engine::facts::totals(script).printed_characters == 13 * 81);
static_assert(engine::facts::totals(script).pause == 7500ms);

} // namespace demo_short
