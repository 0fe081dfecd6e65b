// Writes a demo's performance as the page plays it: the demo's script played through the engine
// onto the export stage, as JSON.
//
//   qav-export demo|demo_short FILE

#include "catalog/demos.hpp"
#include "engine/script.hpp"
#include "exporter/performance_export.hpp"

#include <cstdio>
#include <fstream>
#include <optional>

int main(int argc, char* argv[]) {
  const std::optional<engine::Script> script =
      argc == 3 ? catalog::script_named(argv[1]) : std::nullopt;
  if (!script) {
    std::fputs("Usage: qav-export demo|demo_short FILE\n", stderr);
    return 2;
  }
  exporter::PerformanceExport stage;
  if (!engine::play(*script, stage)) {
    return 1;
  }
  std::ofstream out{argv[2], std::ios::binary};
  out << stage.json();
  out.close();
  if (!out) {
    std::fprintf(stderr, "qav-export: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
