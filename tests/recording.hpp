// A script played in memory with no sleeping, for the tests.
#pragma once

#include "engine/script.hpp"
#include "engine/stage.hpp"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// A script played with no real sleeping: the output is kept, up to a capacity past which every
// write fails, as on a full disk, and each pause and printed line is noted as the player gives it.
struct Recording {
  struct PauseAt {
    std::size_t after_bytes; // how much output had been written when the pause began
    std::chrono::milliseconds duration;
    bool operator==(const PauseAt&) const = default;
  };

  std::string output;
  std::vector<PauseAt> pauses;
  std::vector<engine::Line> printed; // every Print step's line, in order
  bool played = false;

  static Recording of(const engine::Script& script, std::size_t capacity = std::string::npos) {
    Recording recording;
    Stage stage{recording, capacity};
    recording.played = engine::play(script, stage);
    return recording;
  }

private:
  class Stage final : public engine::Stage {
  public:
    Stage(Recording& recording, std::size_t capacity)
        : recording_{recording}, capacity_{capacity} {}

    bool print(engine::Line line) override {
      recording_.printed.push_back(line);
      return write(line);
    }
    bool counter(int, std::string_view digits) override { return write(digits) && write("\n"); }
    void pause(std::chrono::milliseconds duration) override {
      recording_.pauses.push_back({recording_.output.size(), duration});
    }

  private:
    // Takes what fits, as a short write does.
    bool write(std::string_view bytes) {
      const std::size_t room = capacity_ - recording_.output.size();
      recording_.output.append(bytes.substr(0, room));
      return bytes.size() <= room;
    }

    Recording& recording_;
    std::size_t capacity_;
  };
};
