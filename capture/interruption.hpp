// The signals that end a capture from outside, noted rather than obeyed at once, so that the
// capture first ends ffmpeg and removes what it was making, and then dies by the same signal.
#pragma once

#include <stdexcept>

// Thrown at the next step after one of the signals came; carries its number.
struct Interrupted : std::runtime_error {
  explicit Interrupted(int signal) : std::runtime_error{"interrupted"}, number{signal} {}
  int number;
};

// From now on SIGINT, SIGTERM, SIGHUP and SIGQUIT are noted (those ignored when the capture
// started stay ignored, as under nohup); a call cut short by one returns with EINTR.
void note_interruptions();

// The signal noted so far, or 0.
int interruption();

// Throws Interrupted when a signal was noted.
void stop_if_interrupted();

// Ends the capture by the signal, as though it had never been caught, with no core dump.
[[noreturn]] void die_by(int signal);
