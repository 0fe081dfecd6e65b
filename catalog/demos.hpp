// The demos by name: the one place where a tool that plays a demo's script finds it.
#pragma once

#include "engine/script.hpp"

#include <optional>
#include <span>
#include <string_view>

namespace catalog {

struct Demo {
  std::string_view name; // as the programs are called: "demo" or "demo_short"
  engine::Script script;
};

// Both demos, the main one first.
std::span<const Demo> demos();

// The script of the demo with that name, or nothing for a name that is no demo's.
std::optional<engine::Script> script_named(std::string_view name);

} // namespace catalog
