// The demos' scripts for the tests that play them whole, taken by name from the catalog, where
// they are compiled once: no test file compiles them again.
#pragma once

#include "catalog/demos.hpp"
#include "engine/script.hpp"

namespace scripts {

inline const engine::Script demo = *catalog::script_named("demo");
inline const engine::Script demo_short = *catalog::script_named("demo_short");

} // namespace scripts
