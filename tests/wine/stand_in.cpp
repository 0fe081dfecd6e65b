// A stand-in for a demo, for the launcher's tests: a real program built from the engine, with a
// script of the main demo's own lines that plays in a few seconds.

#include "engine/program.hpp"
#include "stand_in_script.hpp"

int main() {
  const int status = engine::perform("demo", stand_in::script);
  return status == 0 ? stand_in::status : status;
}
