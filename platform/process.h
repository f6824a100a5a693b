// Starting programs: a command line or a word list run to its end, a program
// started on its own and waited for later, documents opened through the
// desktop; the private file that captures a child's standard output; the
// process environment. While confined (confinement.h) nothing starts and the
// environment does not change.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "handles.h"

namespace tallow::platform {

// The exit code given for a program that could not be started.
constexpr int kNotStarted = -1;

// How captured output divides into lines: on Windows a carriage return ends
// a line and line feeds are dropped; on Linux, where programs end lines with
// a line feed alone, a line feed that no carriage return precedes ends one
// too.
#if defined(_WIN32)
constexpr bool kLineFeedEndsLine = false;
#else
constexpr bool kLineFeedEndsLine = true;
#endif

// A temporary file of the process's own, under a unique name in the
// temporary folder (never the current one), that a child's standard output
// is written to. It is gone from the folder once closed (on Linux at once).
class CaptureFile {
public:
    CaptureFile();  // IsOpen() tells whether the file could be made
    ~CaptureFile();
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    bool IsOpen() const;
    Handle Get() const { return handle_; }
    // The size of what was written, in bytes (0 when not open).
    size_t Size() const;
    // Everything written to it, from its start.
    std::string ReadAll();

private:
    Handle handle_;
};

// Runs command through the command interpreter (Windows: the program that
// COMSPEC names, else cmd.exe, with /c; Linux: /bin/sh -c) and waits for it.
// The child's standard output is capture when one is given (and open), else
// the process's. The exit code, or kNotStarted.
int RunShellCommand(std::string_view command, CaptureFile* capture);

// Starts the program that words[0] names (looked for along PATH when it has
// no directory) with words as its argument vector and waits for it. Output
// as for RunShellCommand. The exit code, or kNotStarted (also for no words).
int SpawnAndWait(const std::vector<std::string>& words, CaptureFile* capture);

// A started program that runs on its own; it may hold none (a document the
// shell handed to a program already running). Destruction lets go of it
// without waiting (on Linux it is reaped once it ends).
class Process {
public:
    Process() = default;
    explicit Process(Handle id) : id_(id) {}
    ~Process();
    Process(Process&& other) noexcept : id_(other.id_) { other.id_ = nullptr; }
    Process& operator=(Process&&) = delete;

    bool HasProcess() const { return id_ != nullptr; }
    // Waits until the program ends (returns at once without one) and lets
    // go of it. On Windows the thread's window messages are dispatched
    // meanwhile, and a quit message ends the wait at once (and is posted
    // again for the thread's own message loop).
    void Wait();

private:
    Handle id_ = nullptr;  // Windows: the process handle; Linux: the process id
};

// Starts a command line to run on its own (Windows: the line as written,
// inheriting no handle; Linux: split as exec splits it, the program looked
// for along PATH). Nothing when it cannot be started.
std::optional<Process> StartCommandLine(std::string_view commandLine);

// Opens file with a verb of the desktop ("open", "print", "edit", ...). On
// Windows through the shell; on Linux "open" through xdg-open, "print"
// through lp and "edit" through the editor that VISUAL, else EDITOR, names
// (its value split as exec splits a command line). Nothing for an unknown
// verb or when nothing could be started.
std::optional<Process> OpenDocument(std::string_view file, std::string_view verb);

// Sets the environment variable as the standard putenv does with
// "NAME=value": an empty value removes it. Children started later see it.
// A text without "=" or with an empty name changes nothing.
void PutEnvironment(std::string_view assignment);
// The variable's value, "" when it is not set.
std::string GetEnvironment(std::string_view name);

}  // namespace tallow::platform
