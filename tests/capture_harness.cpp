// The capture's tests' shared parts.

#include "capture_harness.hpp"

#include "child_process.hpp"

#include <gtest/gtest.h>

#include <sstream>

std::string capture_path(const std::string& name) {
  return std::string{DEMO_BUILD_DIR} + "/captures/" + name;
}

std::map<std::string, std::string> probe(const std::string& file) {
  return probe(file, "v:0",
               "stream=codec_name,width,height,r_frame_rate,sample_aspect_ratio,display_aspect_"
               "ratio,pix_fmt,duration");
}

std::map<std::string, std::string> probe(const std::string& file, const std::string& streams,
                                         const std::string& entries) {
  TempFile out;
  const ChildRun run = ::run("ffprobe",
                             {"-v", "error", "-select_streams", streams, "-show_entries", entries,
                              "-of", "default=noprint_wrappers=1", file},
                             {.stdout_fd = out.fd()});
  EXPECT_TRUE(run.exited && run.status == 0) << run.error_output;
  std::map<std::string, std::string> fields;
  std::istringstream lines{out.contents()};
  for (std::string line; std::getline(lines, line);) {
    fields[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  }
  return fields;
}

const VgaFont& vga_font() {
  static const VgaFont font{DEMOS_VGA_FONT};
  return font;
}

std::int64_t expect_screens(DecodedFrames& frames, ScreenAt& model, std::int64_t from_ns,
                            int frames_per_second,
                            const std::function<bool(std::int64_t, std::int64_t)>& pick) {
  std::vector<unsigned char> frame;
  std::int64_t k = 0;
  int wrong = 0;
  for (; frames.next(frame); ++k) {
    const std::int64_t moment = from_ns + k * second / frames_per_second;
    const auto expected = model(moment);
    if (pick(k, moment) && wrong < 3) {
      const auto seen = read_screen(frame, vga_font());
      EXPECT_EQ(seen, expected) << "frame " << k << " at " << moment << " ns";
      wrong += seen != expected;
    }
  }
  return k;
}
