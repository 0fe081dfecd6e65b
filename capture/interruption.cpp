// Noting the signals that end a capture, and dying by one once the capture has cleaned up.

#include "capture/interruption.hpp"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

namespace {

volatile std::sig_atomic_t noted = 0;

void note(int signal) {
  noted = signal;
}

} // namespace

void note_interruptions() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction before {};
    sigaction(signal, nullptr, &before);
    if (before.sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction noting {};
    noting.sa_handler = note;
    sigemptyset(&noting.sa_mask);
    noting.sa_flags = 0; // no SA_RESTART: a wait or a write is cut short
    sigaction(signal, &noting, nullptr);
  }
}

int interruption() {
  return noted;
}

void stop_if_interrupted() {
  if (noted != 0) {
    throw Interrupted{noted};
  }
}

void die_by(int signal) {
  // SIGQUIT's default is a core dump, which a capture told to stop has no use for.
  const rlimit no_core{0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
  std::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);
}
