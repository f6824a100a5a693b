// The standard streams under file names: "/dev/stdin", "/dev/stdout" and
// "/dev/stderr" mean the script's standard input, output and error on every
// target, for the statements that read and write files by name. This is the
// one place that knows the names.
#pragma once

#include <string>
#include <string_view>

#include "platform/handles.h"

namespace tallow::platform {

enum class StandardStream { kNone, kInput, kOutput, kError };

// The stream a file name stands for; kNone for every other name (the names
// are compared exactly, as written here).
StandardStream StandardStreamNamed(std::string_view path);

// The handles of a script's three streams.
struct StreamHandles {
    Handle input = nullptr;
    Handle output = nullptr;
    Handle error = nullptr;
};

// The process's standard input, output and error.
StreamHandles ProcessStreams();

// The handle of stream among streams.
Handle StreamHandle(const StreamHandles& streams, StandardStream stream);

// Copies the bytes of from to to, unchanged, where either names a standard
// stream: a file to standard output or error, standard input to a file, or
// standard input to an output stream. Reading an output stream or writing
// standard input fails, and so does a file that is no regular file (as for
// every copy). Without a stream name it is CopyFileOver.
bool CopyThroughStreams(const std::string& from, const std::string& to, const StreamHandles& streams);

}  // namespace tallow::platform
