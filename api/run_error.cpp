// The copies of a run's error for hosts.
#include "api/run_error.h"

#include <algorithm>
#include <cstring>

namespace tallow::api {

void CopyText(const std::string& text, char* buffer, int size) {
    if (!buffer || size < 1) return;
    size_t n = std::min(text.size(), size_t(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

int CopyRunError(const ErrorReport& error, char* message, int messageSize, int* line, int* column, int* kind,
                 char* token, int tokenSize) {
    CopyText(error.message, message, messageSize);
    CopyText(error.token, token, tokenSize);
    if (line) *line = error.line;
    if (column) *column = error.column;
    if (kind) *kind = error.kind;
    return 1;
}

int CopyRunErrorNote(const ErrorReport& error, int index, char* note, int noteSize, int* line, int* column) {
    if (index < 0 || size_t(index) >= error.notes.size()) return 0;
    const ErrorNote& n = error.notes[size_t(index)];
    CopyText(n.text, note, noteSize);
    if (line) *line = n.line;
    if (column) *column = n.column;
    return 1;
}

}  // namespace tallow::api
