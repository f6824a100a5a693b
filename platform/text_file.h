// Text files read and written in the platform's line-end convention: on
// Windows the C library's text mode (CR LF reads as LF, LF writes as CR LF);
// on Linux LF, with CR LF also read as LF so that a file written on Windows
// reads the same on both.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tallow::platform {

class TextFileIn {
public:
    TextFileIn() = default;
    ~TextFileIn();
    TextFileIn(const TextFileIn&) = delete;
    TextFileIn& operator=(const TextFileIn&) = delete;

    // False when the file cannot be opened for reading (or confinement
    // forbids the path).
    bool Open(const std::string& path);
    // The next byte of the text after line-end translation, or EOF at the
    // end of the file or on a read error.
    int Get();

private:
    std::FILE* file_ = nullptr;
};

class TextFileOut {
public:
    TextFileOut() = default;
    ~TextFileOut();
    TextFileOut(const TextFileOut&) = delete;
    TextFileOut& operator=(const TextFileOut&) = delete;

    // Creates the file, or empties an existing one; false when it cannot.
    bool Open(const std::string& path);
    // Writes text and a line end; false once any write has failed.
    bool WriteLine(std::string_view text);
    // Flushes and closes; false when a write or the close failed.
    bool Close();

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace tallow::platform
