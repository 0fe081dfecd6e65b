// The main demo's script: the opening, the chain of 1,498 box units with its irregular ones, and
// the closing pause, checked by the compiler against the totals they come from.
#pragma once

#include "demo/lines.hpp"
#include "engine/script.hpp"
#include "engine/script_facts.hpp"

#include <chrono>

namespace demo {

using namespace std::chrono_literals;
using engine::Count;
using engine::NumberedUnit;
using engine::Pause;
using engine::Print;
using engine::Unit;
using namespace lines;

// The opening pause, the counter and the three messages, ending with the blank that sets the
// chain off at column 16.
// clang-format off
inline constexpr engine::Step opening[] = {
    Pause{8000ms},
    Count{5000},
    Pause{2000ms},
    Print{B81}, Print{B81}, Print{B81}, Print{Message1},
    Pause{2000ms},
    Print{Message2}, Print{B81}, Print{B81}, Print{B81},
    Pause{2000ms},
    Print{Message3}, Print{B81}, Print{B81}, Print{B81},
    Pause{1000ms},
    Print{B84},
};
// clang-format on

// A box seven wide and four high, and the empty line after it. Each line is one column right of
// the one above, so the boxes lean and the chain runs diagonally down the screen.
inline constexpr Unit regular_unit{E81, S81, S81, E81, B81};

// Every unit that breaks the pattern, with its lines in print order. Each one jolts the chain
// sideways from there on.
// clang-format off
inline constexpr NumberedUnit irregular_units[] = {
    {7,   {E81, S81, S81, E81, B84}},
    {18,  {E81, S84, S81, E81, B81}},
    {21,  {E81, S81, S81, E81, B100}},
    {24,  {E108, S81, S81, E81, B81}},
    {27,  {E81, S93, S81, E81, B81}},
    {28,  {E81, S81, S81, E92, B81}},
    {31,  {E84, S81, S81, E81, B81}},
    {32,  {E94, S81, S81, E81, B81}},
    {33,  {E81, S81, S81, E81, B89}},
    {35,  {E81, S81, S81, E92, B81}},
    {37,  {E81, S81, S81, E81, B50}},
    {38,  {E81, S81, S81, E91, B81}},
    {44,  {E81, S84, S81, E81, B81}},
    {58,  {E81, S84, S81, E81, B81}},
    {71,  {E87, S81, S81, E81, B81}},
    {89,  {E81, S81, S81, E88, B82}},
    {90,  {S81, S81, E81, B81}},
    {93,  {E83, S81, S81, E81, B81}},
    {94,  {E81, S81, S81, E82, B87}},
    {95,  {B81}},
    {96,  {E81, S94, S82, E81, B81}},
    {97,  {E84, E81, B86}},
    {100, {E81, S81, S84, B81}},
    {101, {E84, S81, E81, B78}},
    {102, {E81, B81}},
    {103, {E81, E81, B81}},
    {104, {E81, S82, S81, E81, B86}},
    {105, {E81, S82, E81, S81, S82, E81, B92}},
    {108, {E81, S82, S81, E81, B76}},
    {109, {E81, B81}},
    {111, {E81, S81, S81, E83, B81}},
    {112, {E81, S81, S83, E90, B81}},
    {114, {E81, S81, S85, E81, B81}},
    {116, {E81, S85, S81, E81, B81}},
    {117, {E81, S81, S81, E81, B72}},
    {118, {E81, B81}},
    {120, {E81, S81, S89, B81}},
    {123, {E93, S81, S81, E81, B81}},
    {124, {E86, S81, S81, E81, B81}},
    {125, {E81, S81, S81, E85, B81}},
    {128, {E85, S81, S81, E81, B81}},
    {129, {E81, S81, S81, E81, B85}},
    {130, {E81, S81, S81, E81, B74}},
    {133, {E81, S87, S81, E81, B81}},
    {135, {E81, S81, S81, E85, B81}},
    {138, {E81, S84, S81, E81, B81}},
    {140, {E86, S81, S81, E81, B81}},
    {141, {E81, S81, S81, E81, B86}},
    {144, {E81, S81, S81, E81, B83}},
    {145, {S81, S81, E81, B81}},
    {146, {E81, S81, S81, E81, B83}},
    {147, {E81, S81, S82, E82, B81}},
    {152, {E81, S85, S81, E81, B81}},
    {155, {E81, S86, S81, E81, B81}},
    {157, {E81, S86, S81, E81, B81}},
    {158, {E85, S81, S81, E81, B81}},
    {227, {E81, S81, S90, E90, B81}},
    {228, {E81, S89, S81, E81, B81}},
    {230, {E81, S81, S92, E81, B81}},
    {252, {E81, S81, S70, E81, B81}},
    {254, {E81, S81, S101, E81, B96}},
    {256, {E81, S81, S81, E95, B81}},
    {278, {E81, S81, S81, E81, B71}},
    {280, {E81, S81, S81, E70, B81}},
    {283, {E67, S81, S81, E81, B81}},
    {291, {E81, S81, S68, E81, B81}},
};
// clang-format on

// The chain of boxes: 1,498 units, played from this pattern as the script goes.
inline constexpr engine::Units chain{
    .regular = regular_unit,
    .irregular = irregular_units,
    .count = 1498,
    .last = {E81, S81, S81, E81, Banner},
};

// Holds the banner on the screen before the program ends.
inline constexpr engine::Step closing[] = {Pause{3500ms}};

inline constexpr engine::Script script{opening, chain, closing};

static_assert(std::size(irregular_units) == 66);
static_assert(engine::facts::table_in_first_use_order(script, table));
static_assert(engine::facts::totals(script).print_steps == 7483);
static_assert(engine::facts::totals(script).printed_characters == 606'393);
static_assert(engine::facts::totals(script).pause == 18'500ms);

} // namespace demo
