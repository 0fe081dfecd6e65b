// Runs a demo on Windows as a user who redirects its output would, through cmd.exe, and checks
// what it wrote: its whole performance with CR LF after every counter number and no CR anywhere
// else, or, when its reader goes away, status 1 at once with one line on standard error.
//
//   output_check demo|demo_short            the whole performance
//   output_check demo_short reader-leaves   the reader closes the pipe after 4096 bytes
//
// Run it from the directory that holds the demo.

#include "checks.hpp"
#include "digest.hpp"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

using namespace std::chrono_literals;

namespace {

std::string contents_of(const std::string& path) {
  std::ifstream file{path, std::ios::binary};
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool newlines_are_crlf(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool cr = bytes[i] == '\r';
    const bool lf = bytes[i] == '\n';
    if ((cr && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) ||
        (lf && (i == 0 || bytes[i - 1] != '\r'))) {
      return false;
    }
  }
  return true;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: output_check demo|demo_short [reader-leaves]\n";
    return 2;
  }
  const std::string program = argv[1];
  const bool reader_leaves = argc > 2 && std::string_view{argv[2]} == "reader-leaves";
  const std::string error_file = program + (reader_leaves ? ".leaving" : ".whole") + ".stderr";
  const std::string command = program + ".exe --help *.txt 2> " + error_file;

  const auto started = std::chrono::steady_clock::now();
  FILE* output = _popen(command.c_str(), "rb");
  if (output == nullptr) {
    std::cerr << "cannot start " << command << '\n';
    return 1;
  }
  std::string bytes;
  char piece[4096];
  for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, output)) > 0;) {
    bytes.append(piece, n);
    if (reader_leaves) {
      break;
    }
  }
  const int status = _pclose(output);
  const auto elapsed = std::chrono::steady_clock::now() - started;
  const std::string errors = contents_of(error_file);
  std::remove(error_file.c_str());

  if (reader_leaves) {
    check(status == 1, "exit status 1 when the reader has gone");
    check(errors.starts_with(program + ": write error: ") && errors.ends_with("\n") &&
              errors.find('\n') == errors.size() - 1,
          "one line on standard error naming the program: " + errors);
    check(elapsed < 5s, "no waiting out the seven and a half seconds of pauses");
    check(bytes.starts_with("0\r\n1\r\n2\r\n"), "counter lines end with CR LF");
  } else {
    const bool main_demo = program == "demo";
    const Expected expected = main_demo ? demo_output_crlf : demo_short_output_crlf;
    check(status == 0, "exit status 0");
    check(errors.empty(), "nothing on standard error");
    check(bytes.size() == expected.bytes, "byte count " + std::to_string(bytes.size()));
    check(fnv1a(bytes) == expected.digest, "digest of the whole performance");
    check(newlines_are_crlf(bytes), "CR only before LF, and LF only after CR");
    check(elapsed >= (main_demo ? 18'500ms : 7'500ms), "at least the sum of the pauses");
  }
  std::cout << (failures == 0 ? "passed" : "failed") << '\n';
  return failures == 0 ? 0 : 1;
}
