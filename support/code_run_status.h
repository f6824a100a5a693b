// The exit status of a program that runs one code file: the runner, the
// shell's launcher and the stub of a stand-alone executable.
#pragma once

#include "tallow.h"

namespace tallow::support {

// Exit statuses that the programs share besides the script's own codes.
constexpr int kStatusFailed =
    1;  // an error ended the script before it set a code, or the file could not be used
constexpr int kStatusUsage = 2;  // a wrong command line

// The status for a code run that returned code: the script's own code, or
// failedStatus when the run gave 0 because it failed (an error ended the
// script before it set a code, or the file could not be used).
inline int CodeRunStatus(int code, int failedStatus) {
    int outcome = GetCodeRunOutcome();
    if (code == 0 && (outcome == TALLOW_RUN_FAILED || outcome == TALLOW_CODE_UNUSABLE)) return failedStatus;
    return code;
}

}  // namespace tallow::support
