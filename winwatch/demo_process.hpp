// The demo as the launcher runs it: in a job that ends it when the launcher goes, its standard
// input the null device, its standard output a pipe to the launcher.
#pragma once

#include <string>
#include <string_view>
#include <windows.h>

namespace winwatch {

class DemoProcess {
public:
  DemoProcess() = default;
  DemoProcess(const DemoProcess&) = delete;
  DemoProcess& operator=(const DemoProcess&) = delete;
  // Closes the job, which ends the demo should it still run.
  ~DemoProcess();

  // Starts the program at `path` (`shown` is its name in a message) suspended, in its job.
  // Returns why it could not, as one line; empty when it could.
  std::string start(const std::wstring& path, std::string_view shown);

  // Lets it run.
  void resume() const { ResumeThread(thread_); }

  HANDLE output() const { return output_; }
  HANDLE process() const { return process_; }

private:
  HANDLE job_ = nullptr;
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  HANDLE output_ = nullptr; // the pipe's end the launcher reads
};

} // namespace winwatch
