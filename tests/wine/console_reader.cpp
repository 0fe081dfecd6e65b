// Watches qav-watch.exe from beside it, for the tests that run it in a tmux pane under Wine:
// reads the screen its console holds, ends it as a crash would, and notes and compares the
// user's console around a performance. Prints one line a check, ok or FAILED.
//
//   console_reader watch FOLDER SPEED ROWS_FILE   the performance's rows, size, cursor and pace
//   console_reader ends FOLDER STATUS             the launcher ends, with that status
//   console_reader kill FOLDER                    kills the launcher mid-performance
//   console_reader gone FOLDER                    no demo of the folder's is left running
//   console_reader note FILE | restored FILE      this console before and after a performance
//
// FOLDER is the last part of the path of the folder that holds qav-watch.exe and the stand-in.

#include "checks.hpp"
#include "launcher_console.hpp"
#include "performance_check.hpp"
#include "processes.hpp"
#include "user_console.hpp"

#include <string>
#include <string_view>
#include <windows.h>

using namespace std::chrono_literals;

namespace {

bool boxes_shown(const std::string& folder) {
  const bool shown = attach_to_launcher(folder) && await_text("#", Clock::now() + 60s);
  check(shown, "the boxes are being drawn");
  return shown;
}

void check_demo_gone(const std::string& folder) {
  check(await_process(folder, "demo.exe", false, 5'000), "no demo.exe left running");
}

// Waits for the launcher to start and then to end; checks how it ended.
int check_end(const std::string& folder, DWORD expected) {
  const bool started = await_process(folder, "qav-watch.exe", true, 30'000);
  const HANDLE launcher = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                      find_process(folder, "qav-watch.exe"));
  DWORD status = 0;
  const bool ended = started && launcher != nullptr &&
                     WaitForSingleObject(launcher, 60'000) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(launcher, &status);
  char said[64];
  std::snprintf(said, sizeof said, "the launcher ended with status 0x%08lX",
                static_cast<unsigned long>(status));
  check(ended && status == expected, said);
  return verdict();
}

int kill_launcher(const std::string& folder) {
  if (boxes_shown(folder)) {
    const HANDLE launcher =
        OpenProcess(PROCESS_TERMINATE, FALSE, find_process(folder, "qav-watch.exe"));
    check(launcher != nullptr && TerminateProcess(launcher, 9), "killed the launcher");
    check_demo_gone(folder);
  }
  return verdict();
}

} // namespace

int main(int argc, char* argv[]) {
  timeBeginPeriod(1); // every millisecond's look at the screen on time
  const std::string_view mode = argc > 2 ? argv[1] : "";
  const std::string argument = argc > 2 ? argv[2] : "";
  if (mode == "watch" && argc == 5) {
    return check_performance(argument, std::stol(argv[3]), argv[4]);
  }
  if (mode == "ends" && argc == 4) {
    return check_end(argument, std::stoul(argv[3], nullptr, 0));
  }
  if (mode == "kill" && argc == 3) {
    return kill_launcher(argument);
  }
  if (mode == "gone" && argc == 3) {
    check_demo_gone(argument);
    return verdict();
  }
  if (mode == "note" && argc == 3) {
    return note_user_console(argument);
  }
  if (mode == "restored" && argc == 3) {
    return check_user_console(argument);
  }
  std::fprintf(stderr,
               "usage: console_reader watch FOLDER SPEED ROWS_FILE |"
               " ends FOLDER STATUS | kill FOLDER | gone FOLDER | note FILE | restored FILE\n");
  return 2;
}
