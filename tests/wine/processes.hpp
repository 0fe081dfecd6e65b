// The processes of one test's folder, found among all Wine runs by their program's full path, so
// that tests side by side never take each other's.
#pragma once

#include <string>
#include <windows.h>

// The id of a process whose program is FOLDER\PROGRAM, where FOLDER is the last part of the
// folder's path; 0 when there is none.
DWORD find_process(const std::string& folder, const std::string& program);

// Waits up to `milliseconds` for such a process to appear (`present`) or to be gone; whether it
// did.
bool await_process(const std::string& folder, const std::string& program, bool present,
                   DWORD milliseconds);
