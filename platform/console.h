// The process's standard handles and its console.
#pragma once

#include <cstddef>

#include "handles.h"

namespace tallow::platform {

// The process's current standard input, output and error handles.
Handle StdInput();
Handle StdOutput();
Handle StdError();
// Replaces the process's standard input and output handles.
void SetStdHandles(Handle input, Handle output);

// Asks the system for a console; false (and nothing changes) when the
// process already has one or cannot get one.
bool AllocateConsole();
void ReleaseConsole();
void SetConsoleTitleText(const char* title);

// Writes all bytes with one system write call where the system allows it.
bool WriteBytes(Handle handle, const char* data, size_t size);
// Reads up to size bytes; the count read, or -1 on failure.
long ReadBytes(Handle handle, char* buffer, size_t size);

}  // namespace tallow::platform
