// Reading the error of a run through the engine's exports and writing it.
#include "diagnostics.h"

namespace tallow::runner {

namespace {

// Longest message and token the report takes; the engine's are shorter.
constexpr int kMessageRoom = 1100;
constexpr int kTokenRoom = 256;

template <class ReadNote>
void ReadNotes(RunError& error, ReadNote readNote) {
    char text[kMessageRoom];
    RunNote note;
    for (int i = 0; readNote(i, text, int(sizeof text), &note.line, &note.column); ++i) {
        note.text = text;
        error.notes.push_back(note);
    }
}

}  // namespace

bool LastRunError(TallowProgramHandle program, RunError& error) {
    char message[kMessageRoom], token[kTokenRoom];
    if (!GetLastRunError(program, message, sizeof message, &error.line, &error.column, nullptr, token,
                         sizeof token))
        return false;
    error.message = message;
    error.token = token;
    ReadNotes(error, [program](int i, char* text, int size, int* line, int* column) {
        return GetLastRunErrorNote(program, i, text, size, line, column);
    });
    return true;
}

bool LastCodeRunError(RunError& error) {
    char message[kMessageRoom], token[kTokenRoom];
    if (!GetLastCodeRunError(message, sizeof message, &error.line, &error.column, nullptr, token,
                             sizeof token))
        return false;
    error.message = message;
    error.token = token;
    ReadNotes(error, [](int i, char* text, int size, int* line, int* column) {
        return GetLastCodeRunErrorNote(i, text, size, line, column);
    });
    return true;
}

void WriteDiagnostic(std::FILE* out, const RunError& error, const PlaceName& place) {
    std::string line = place(error.line, error.column) + ": error: " + error.message;
    if (!error.token.empty()) line += ": '" + error.token + "'";
    line += '\n';
    for (const RunNote& note : error.notes)
        line += place(note.line, note.column) + ": note: " + note.text + "\n";
    std::fputs(line.c_str(), out);
    std::fflush(out);
}

PlaceName FilePlace(const std::string& file) {
    return [file](int line, int column) {
        return file + ":" + std::to_string(line) + ":" + std::to_string(column);
    };
}

}  // namespace tallow::runner
