// Reading lines at an interactive prompt: with editing and history where the
// system has a line editing library, loaded when the prompt starts (so that
// running a script does not load it), and plain reading otherwise.
#pragma once

#include <memory>
#include <string>

namespace tallow::platform {

class LineEditor {
public:
    LineEditor();
    ~LineEditor();
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    // Prints prompt and reads one line without its line end; a line that is
    // not empty joins the history. False at the end of input.
    bool ReadLine(const char* prompt, std::string& line);
    // The history from and to a file (nothing without editing).
    void ReadHistory(const std::string& file);
    void WriteHistory(const std::string& file);

private:
    struct Library;
    std::unique_ptr<Library> library_;
};

// One line from standard input without its line end (CR LF or LF), prompt
// printed first; false at the end of input.
bool ReadPlainLine(const char* prompt, std::string& line);

}  // namespace tallow::platform
