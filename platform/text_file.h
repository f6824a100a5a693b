// Text files read and written in the platform's line-end convention: on
// Windows the C library's text mode (CR LF reads as LF, LF writes as CR LF);
// on Linux LF, with CR LF also read as LF so that a file written on Windows
// reads the same on both. Only regular files are read or written: a FIFO or
// a device might never answer. The names of the standard streams (see
// stream_names.h) read the script's streams the same way, and write lines
// ended by a line feed on both, as the engine's other output there.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/file_replacement.h"
#include "platform/stream_names.h"

namespace tallow::platform {

class TextFileIn {
public:
    TextFileIn() = default;
    ~TextFileIn();
    TextFileIn(const TextFileIn&) = delete;
    TextFileIn& operator=(const TextFileIn&) = delete;

    // False when the file cannot be opened for reading, is no regular file,
    // or confinement forbids the path. "/dev/stdin" reads streams.input;
    // the output streams cannot be read.
    bool Open(const std::string& path, const StreamHandles& streams);
    // As above with the process's standard streams.
    bool Open(const std::string& path) { return Open(path, ProcessStreams()); }
    // The next byte of the text after line-end translation, or EOF at the
    // end of the file or on a read error.
    int Get();

private:
    bool OpenFile(const std::string& path);  // each system's own
    int GetFromFile();                       // each system's own
    int RawFromStream();                     // the next byte as read, or EOF

    std::FILE* file_ = nullptr;
    bool fromStream_ = false;
    Handle stream_ = nullptr;
    std::string buffer_;  // what was read from the stream and not yet taken
    size_t next_ = 0;
    int pending_ = EOF;  // a byte read ahead to see whether CR LF ends a line
};

// A text file written whole: the lines replace the file's contents only
// when Close succeeds (see file_replacement.h), so that a failed write
// leaves the old file as it was.
class TextFileOut {
public:
    TextFileOut() = default;
    ~TextFileOut();
    TextFileOut(const TextFileOut&) = delete;
    TextFileOut& operator=(const TextFileOut&) = delete;

    // Starts the new contents of the file; false when the path is no
    // regular file, may not be written, or confinement forbids it.
    // "/dev/stdout" and "/dev/stderr" write to streams' output and error,
    // after what is there already; standard input cannot be written.
    bool Open(const std::string& path, const StreamHandles& streams);
    bool Open(const std::string& path) { return Open(path, ProcessStreams()); }
    // Writes text and a line end; false once any write has failed.
    bool WriteLine(std::string_view text);
    // Puts the lines in place of the old contents; false when a write or
    // the replacing failed, and the file is then as it was. Without Close
    // nothing changes. A stream is flushed and stays open.
    bool Close();

private:
    bool OpenFile(const std::string& path);     // each system's own
    bool WriteFileLine(std::string_view text);  // each system's own
    bool Flush();

    FileReplacement replacement_;
    bool toStream_ = false;
    Handle stream_ = nullptr;
    std::string buffer_;  // lines not yet written to the stream
    bool failed_ = false;
};

}  // namespace tallow::platform
