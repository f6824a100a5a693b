// Text files read and written in the platform's line-end convention: on
// Windows the C library's text mode (CR LF reads as LF, LF writes as CR LF);
// on Linux LF, with CR LF also read as LF so that a file written on Windows
// reads the same on both. Only regular files are read or written: a FIFO or
// a device might never answer.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/file_replacement.h"

namespace tallow::platform {

class TextFileIn {
public:
    TextFileIn() = default;
    ~TextFileIn();
    TextFileIn(const TextFileIn&) = delete;
    TextFileIn& operator=(const TextFileIn&) = delete;

    // False when the file cannot be opened for reading, is no regular file,
    // or confinement forbids the path.
    bool Open(const std::string& path);
    // The next byte of the text after line-end translation, or EOF at the
    // end of the file or on a read error.
    int Get();

private:
    std::FILE* file_ = nullptr;
};

// A text file written whole: the lines replace the file's contents only
// when Close succeeds (see file_replacement.h), so that a failed write
// leaves the old file as it was.
class TextFileOut {
public:
    // Starts the new contents of the file; false when the path is no
    // regular file, may not be written, or confinement forbids it.
    bool Open(const std::string& path);
    // Writes text and a line end; false once any write has failed.
    bool WriteLine(std::string_view text);
    // Puts the lines in place of the old contents; false when a write or
    // the replacing failed, and the file is then as it was. Without Close
    // nothing changes.
    bool Close();

private:
    FileReplacement replacement_;
};

}  // namespace tallow::platform
