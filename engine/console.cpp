#include "engine/console.hpp"

#include <ostream>

namespace engine {

void print_line(std::ostream& out, Line line) {
  out << line << std::flush;
}

void print_counter(std::ostream& out, int n) {
  out << n << std::endl;
}

} // namespace engine
