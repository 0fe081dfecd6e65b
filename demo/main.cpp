// demo, the main demo: its script performed on standard output.

#include "demo/script.hpp"
#include "engine/program.hpp"

int main() {
  return engine::perform("demo", demo::script);
}
