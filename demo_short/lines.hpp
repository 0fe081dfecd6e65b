// The short demo's line table: its own six lines, each 81 characters wide.
#pragma once

#include "engine/line.hpp"

#include <array>

// The short demo's own six lines, every one 81 wide, in the order it first prints them.
namespace demo_short::lines {

using engine::blank;
using engine::edge;
using engine::PaddedLine;
using engine::side;

inline constexpr PaddedLine<81> Message1{"Dette er min 1ste demo, og den varer kun i kort tid..."};
inline constexpr PaddedLine<81> Message2{"Til naeste QAV stiller jeg op med noget serioes kode."};
inline constexpr PaddedLine<81> Message3{"Fortsat godt party til alle..."};
inline constexpr PaddedLine<81> B81{blank};
inline constexpr PaddedLine<81> E81{edge};
inline constexpr PaddedLine<81> S81{side};

inline constexpr std::array<engine::Line, 6> table{Message1, Message2, Message3, B81, E81, S81};

} // namespace demo_short::lines
