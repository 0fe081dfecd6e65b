// The stand-in's script: the end of the main demo in a few seconds. A pause for the test to
// start watching, the last counter numbers (CR LF on Windows), the last message and its pause,
// then the main demo's last thirty units and its banner, and a short closing pause.
#pragma once

#include "demo/lines.hpp"
#include "demo/script.hpp"
#include "engine/script.hpp"

#include <chrono>

namespace stand_in {

using namespace std::chrono_literals;
using engine::Count;
using engine::Pause;
using engine::Print;
using namespace demo::lines;

// How long the stand-in pauses after its message: the drawing must resume at its speed after it.
inline constexpr auto message_pause = 1000ms;

// clang-format off
inline constexpr engine::Step opening[] = {
    Pause{1500ms},
    Count{3},
    Print{B81}, Print{B81}, Print{B81}, Print{Message3},
    Pause{message_pause},
    Print{B84},
};
// clang-format on

inline constexpr engine::Units chain{
    .regular = demo::regular_unit,
    .irregular = {},
    .count = 30,
    .last = demo::chain.last,
};

inline constexpr engine::Step closing[] = {Pause{500ms}};

inline constexpr engine::Script script{opening, chain, closing};

// The status it ends with, which the launcher must pass on: not one a launcher makes up.
inline constexpr int status = 7;

} // namespace stand_in
