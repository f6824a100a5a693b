// Handing the error that ended a run to a host: the copies that
// GetLastRunError, GetLastCodeRunError and their note calls make.
#pragma once

#include <string>

#include "core/program.h"

namespace tallow::api {

// Copies text NUL-terminated into buffer, cut to size-1 bytes; nothing for a
// null buffer or a size below 1.
void CopyText(const std::string& text, char* buffer, int size);

// Fills what is asked for (null pointers are skipped) from error; 1.
int CopyRunError(const ErrorReport& error, char* message, int messageSize, int* line, int* column, int* kind,
                 char* token, int tokenSize);

// Fills what is asked for from note index of error: 1, or 0 when there is
// no such note.
int CopyRunErrorNote(const ErrorReport& error, int index, char* note, int noteSize, int* line, int* column);

}  // namespace tallow::api
