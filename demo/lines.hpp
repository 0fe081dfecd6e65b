// The main demo's line table: its 53 lines, each a glyph padded to its width.
#pragma once

#include "engine/line.hpp"

#include <array>

// The main demo's 53 lines, in the order the performance first prints them. A line is named by
// its kind and its width (B for blank, E for edge, S for side), so E108 is the box edge padded
// to 108 characters: a jolt of 27 columns to the right in the 80-column wrap.
namespace demo::lines {

using engine::blank;
using engine::edge;
using engine::PaddedLine;
using engine::side;

// clang-format off
inline constexpr PaddedLine<81>  B81{blank};
inline constexpr PaddedLine<81>  Message1{"Dette er min 1ste demo, og den varer kun i kort tid..."};
inline constexpr PaddedLine<81>  Message2{"Til naeste QAV stiller jeg op med noget serioes kode."};
inline constexpr PaddedLine<81>  Message3{"Fortsat godt party til alle..."};
inline constexpr PaddedLine<84>  B84{blank};
inline constexpr PaddedLine<81>  E81{edge};
inline constexpr PaddedLine<81>  S81{side};
inline constexpr PaddedLine<84>  S84{side};
inline constexpr PaddedLine<100> B100{blank};
inline constexpr PaddedLine<108> E108{edge};
inline constexpr PaddedLine<93>  S93{side};
inline constexpr PaddedLine<92>  E92{edge};
inline constexpr PaddedLine<84>  E84{edge};
inline constexpr PaddedLine<94>  E94{edge};
inline constexpr PaddedLine<89>  B89{blank};
inline constexpr PaddedLine<50>  B50{blank};
inline constexpr PaddedLine<91>  E91{edge};
inline constexpr PaddedLine<87>  E87{edge};
inline constexpr PaddedLine<88>  E88{edge};
inline constexpr PaddedLine<82>  B82{blank};
inline constexpr PaddedLine<83>  E83{edge};
inline constexpr PaddedLine<82>  E82{edge};
inline constexpr PaddedLine<87>  B87{blank};
inline constexpr PaddedLine<94>  S94{side};
inline constexpr PaddedLine<82>  S82{side};
inline constexpr PaddedLine<86>  B86{blank};
inline constexpr PaddedLine<78>  B78{blank};
inline constexpr PaddedLine<92>  B92{blank};
inline constexpr PaddedLine<76>  B76{blank};
inline constexpr PaddedLine<83>  S83{side};
inline constexpr PaddedLine<90>  E90{edge};
inline constexpr PaddedLine<85>  S85{side};
inline constexpr PaddedLine<72>  B72{blank};
inline constexpr PaddedLine<89>  S89{side};
inline constexpr PaddedLine<93>  E93{edge};
inline constexpr PaddedLine<86>  E86{edge};
inline constexpr PaddedLine<85>  E85{edge};
inline constexpr PaddedLine<85>  B85{blank};
inline constexpr PaddedLine<74>  B74{blank};
inline constexpr PaddedLine<87>  S87{side};
inline constexpr PaddedLine<83>  B83{blank};
inline constexpr PaddedLine<86>  S86{side};
inline constexpr PaddedLine<90>  S90{side};
inline constexpr PaddedLine<92>  S92{side};
inline constexpr PaddedLine<70>  S70{side};
inline constexpr PaddedLine<101> S101{side};
inline constexpr PaddedLine<96>  B96{blank};
inline constexpr PaddedLine<95>  E95{edge};
inline constexpr PaddedLine<71>  B71{blank};
inline constexpr PaddedLine<70>  E70{edge};
inline constexpr PaddedLine<67>  E67{edge};
inline constexpr PaddedLine<68>  S68{side};
inline constexpr PaddedLine<74>  Banner{"   QAV FOREVER!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"};

inline constexpr std::array<engine::Line, 53> table{
    B81,  Message1, Message2, Message3, B84,  E81,  S81,  S84,  B100, E108, S93,
    E92,  E84,      E94,      B89,      B50,  E91,  E87,  E88,  B82,  E83,  E82,
    B87,  S94,      S82,      B86,      B78,  B92,  B76,  S83,  E90,  S85,  B72,
    S89,  E93,      E86,      E85,      B85,  B74,  S87,  B83,  S86,  S90,  S92,
    S70,  S101,     B96,      E95,      B71,  E70,  E67,  S68,  Banner,
};
// clang-format on

} // namespace demo::lines
