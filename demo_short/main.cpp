// demo_short, the short demo: its script performed on standard output.

#include "demo_short/script.hpp"
#include "engine/program.hpp"

int main() {
  return engine::perform("demo_short", demo_short::script);
}
