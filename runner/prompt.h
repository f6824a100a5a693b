// The interactive prompt: what is typed at a terminal runs line by line (a
// block until its closing keyword) in one program that keeps its variables,
// arrays, objects and procedures from entry to entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tallow.h"

namespace tallow::runner {

// How much an entry opens blocks: +1 for each of if, for, while, select, try
// and proc, -1 for endif, next, endwhile, endselect, endtry and endproc,
// words in string literals and comments aside. An entry is complete when
// its depth is no longer positive.
int BlockDepth(std::string_view text);

// The text of a prompt session: its entries one after the other, run as one
// text from where the newest begins. Errors are placed by the lines of the
// entry that holds them.
class Session {
public:
    // Appends an entry (ending in a line feed); returns where it starts.
    size_t Add(const std::string& entry);
    // Takes the newest entry off again.
    void DropLast();
    const std::string& Text() const { return text_; }
    // "line L:C" of a line of the whole text, counted within its entry; an
    // entry before the newest is named by its first line.
    std::string Place(int line, int column) const;

private:
    struct Entry {
        size_t start;
        int firstLine;  // in the whole text, from 1
        std::string firstText;
    };
    std::string text_;
    int lines_ = 0;
    std::vector<Entry> entries_;
};

// Runs the prompt on program until the end of input or an `exit`; returns
// the exit code. An entry that is an expression shows its value.
int RunPrompt(TallowProgramHandle program);

}  // namespace tallow::runner
