// What the application object asks of the system about the running program.
#pragma once

#include <cstdint>
#include <string>

namespace tallow::platform {

// path made absolute against the current directory: as GetFullPathName
// gives it on Windows (no check that it exists), with links resolved by
// realpath on Linux (which needs it to exist). False when it cannot be.
bool FullPathName(const std::string& path, std::string& full);

// The handle of the process's main program as a number: its module handle
// on Windows, its dlopen handle on Linux (what dlsym takes for it).
uintptr_t MainProgramHandle();

}  // namespace tallow::platform
