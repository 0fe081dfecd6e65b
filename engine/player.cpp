#include "engine/console.hpp"
#include "engine/script.hpp"

#include <ostream>

namespace engine {
namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };

} // namespace

bool play(const Script& script, std::ostream& out, const Sleep& sleep) {
  for (const Step step : script) {
    std::visit(Overloaded{
                   [&](const Pause& pause) { sleep(pause.duration); },
                   [&](const Print& print) { print_line(out, print.line); },
                   [&](const Count& count) {
                     for (int i = 0; i < count.n && out; ++i) {
                       print_counter(out, i);
                     }
                   },
               },
               step);
    if (!out) {
      return false;
    }
  }
  return true;
}

} // namespace engine
