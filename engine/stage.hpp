// The one seam between the player and what it plays onto: a line, a counter number, a pause.
#pragma once

#include "engine/line.hpp"

#include <chrono>
#include <string_view>

namespace engine {

// Where a script is played: the one thing the player talks to. The programs' own stage writes to
// standard output and really sleeps; a recording, the console model, the capture and the tests
// are stages too, each taking the steps as they come, so that none has to read the bytes back to
// find where a pause fell.
class Stage {
public:
  // Writes the line as it is. False when the output failed: the player stops there.
  virtual bool print(Line line) = 0;

  // Writes counter number n, whose decimal digits the player has worked out already, and ends
  // its line. False when the output failed.
  virtual bool counter(int n, std::string_view digits) = 0;

  virtual void pause(std::chrono::milliseconds duration) = 0;

protected:
  ~Stage() = default;
};

} // namespace engine
