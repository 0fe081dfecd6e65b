#pragma once

namespace engine {

// How fast the console these demos were made for drew their text, in characters a second, a
// newline counting as one. The motion of the boxes came from it: at this speed the main demo's
// art phase (605,421 characters) takes about ten seconds, and the chain of boxes can be followed
// as it travels down the screen. The programs never pace themselves; whatever shows them at a
// console's speed (the relay, the recordings) takes it from here.
inline constexpr long default_console_speed = 60'000;

} // namespace engine
