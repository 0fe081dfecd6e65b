// Starting the demo. It starts suspended and joins its job before it runs a single instruction,
// so that nothing it does escapes the job. Its pipe holds one page, as the relay's does: the demo
// runs at most that far ahead of the screen, and each of its pauses begins about when what came
// before is drawn.

#include "winwatch/demo_process.hpp"

#include "winwatch/paths.hpp"
#include "winwatch/say.hpp"

namespace winwatch {
namespace {

constexpr DWORD pipe_size = 4096;

std::string cannot(std::string_view shown, std::string_view doing) {
  return "cannot " + std::string{doing} + " " + std::string{shown} + ": " + reason(GetLastError());
}

} // namespace

std::string DemoProcess::start(const std::wstring& path, std::string_view shown) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE input = nullptr;
  HANDLE output = nullptr;
  if (!CreatePipe(&output_, &output, &inherited, pipe_size)) {
    return cannot(shown, "make a pipe for");
  }
  SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
  input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                      OPEN_EXISTING, 0, nullptr);
  // What the demo says of a failed write goes where the launcher's own lines go.
  const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  SetHandleInformation(errors, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

  job_ = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job_ == nullptr ||
      !SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(output);
    return cannot(shown, "make a job for");
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  std::wstring command = quoted(path);
  PROCESS_INFORMATION started{};
  const BOOL ran = CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, TRUE,
                                  CREATE_SUSPENDED, nullptr, nullptr, &startup, &started);
  const DWORD error = GetLastError();
  CloseHandle(output); // the demo's end alone holds the pipe open, so that its end is seen
  if (input != INVALID_HANDLE_VALUE) {
    CloseHandle(input);
  }
  if (!ran) {
    SetLastError(error);
    return cannot(shown, "start");
  }
  process_ = started.hProcess;
  thread_ = started.hThread;
  if (!AssignProcessToJobObject(job_, process_)) {
    const std::string said = cannot(shown, "put in a job");
    TerminateProcess(process_, 1);
    return said;
  }
  return {};
}

DemoProcess::~DemoProcess() {
  for (const HANDLE handle : {job_, thread_, process_, output_}) {
    if (handle != nullptr) {
      CloseHandle(handle);
    }
  }
}

} // namespace winwatch
