// The two demos' scripts behind their names, compiled here once for every tool that plays them.

#include "catalog/demos.hpp"

#include "demo/script.hpp"
#include "demo_short/script.hpp"

#include <array>

namespace catalog {
namespace {

constexpr std::array all{
    Demo{"demo", demo::script},
    Demo{"demo_short", demo_short::script},
};

} // namespace

std::span<const Demo> demos() {
  return all;
}

std::optional<engine::Script> script_named(std::string_view name) {
  for (const Demo& demo : all) {
    if (demo.name == name) {
      return demo.script;
    }
  }
  return std::nullopt;
}

} // namespace catalog
