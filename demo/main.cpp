#include "demo/script.hpp"
#include "engine/program.hpp"

int main() {
  return engine::perform("demo", demo::script);
}
