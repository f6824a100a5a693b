// The process's standard handles and its console.
#pragma once

#include <cstddef>
#include <string>

#include "handles.h"

namespace tallow::platform {

// The process's current standard input, output and error handles.
Handle StdInput();
Handle StdOutput();
Handle StdError();
// Replaces the process's standard input and output handles.
void SetStdHandles(Handle input, Handle output);
// Handles of the null device (input always at its end, output discarded),
// for hosts that give a script no console.
Handle NullInput();
Handle NullOutput();

// Asks the system for a console; false (and nothing changes) when the
// process already has one or cannot get one.
bool AllocateConsole();
void ReleaseConsole();
// The console window's title; on Linux the terminal's, where standard output
// is a terminal (nothing otherwise).
void SetConsoleTitleText(const char* title);
// Whether the engine names the console it opens: on Windows the console is
// a window the engine may have made; a Linux terminal belongs to the user,
// whose title only setcaption changes.
#ifdef _WIN32
constexpr bool kNameOpenedConsole = true;
#else
constexpr bool kNameOpenedConsole = false;
#endif
// Reads the console's title, at most kMaxConsoleTitle bytes of it; false
// without a console (always on Linux, which has none to title).
constexpr size_t kMaxConsoleTitle = 256;
bool ReadConsoleTitleText(std::string& title);

// Writes all bytes with one system write call where the system allows it.
bool WriteBytes(Handle handle, const char* data, size_t size);
// Reads up to size bytes; the count read, 0 at the end (also of a pipe whose
// writer has gone), or -1 on failure.
long ReadBytes(Handle handle, char* buffer, size_t size);

// Console input (console_input_*.cpp). Raw input delivers each key at once,
// without line editing or echo; line input is the normal edited and echoed
// line. A handle that is no console (a pipe or a file) keeps reading as it is.
enum class InputMode { Raw, Line };
// Switches the console behind input; false when input is no console.
bool SetInputMode(Handle input, InputMode mode);
// Blocks until a console has input to read; returns at once for other handles.
void WaitForInput(Handle input);
// Reads one line of at most size bytes with its terminator: a console's line
// as it delivers it (ending in carriage return and line feed), from other
// handles the bytes up to and including the next line feed. The count read,
// 0 at the end of input, -1 on failure.
long ReadLine(Handle input, char* buffer, size_t size);
// Reads one byte: 1, 0 at the end of input, -1 on failure.
long ReadKey(Handle input, char& key);

}  // namespace tallow::platform
