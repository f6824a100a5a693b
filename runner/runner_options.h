// The runner's options: the words before the script, read through one
// table of option names. Some options do their work at once and end the
// runner (--help, --version, --extensions, --register, ...).
#pragma once

#include "support/code_run_status.h"

namespace tallow::runner {

// Exit statuses of the runner besides the script's own codes.
using support::kStatusFailed;
using support::kStatusUsage;        // also for a script that cannot be read
constexpr int kStatusBudget = 124;  // --max-statements or --max-seconds ended the run, as timeout(1) reports

struct RunnerOptions {
    bool unattended = false;
    long long maxStatements = 0;  // 0: no limit
    double maxSeconds = 0;        // 0: no limit
    long long memoryLimit = -1;   // in MiB; -1: the engine's default
    bool fastPaths = true;
    bool trustAddresses = false;

    // Whether an option that applies to script text only was given (a code
    // file refuses them).
    bool LimitsScriptText() const {
        return maxStatements > 0 || maxSeconds > 0 || memoryLimit >= 0 || !fastPaths || trustAddresses;
    }
};

// Reads the options from argv[1] on into options. Returns the index of the
// first word that is no option (the script, -e, -, -i, or argc for none);
// or -1 with status set when an option did its work (--help, --register,
// ...) or was given a wrong value, which it reports on standard error.
int ReadRunnerOptions(int argc, char** argv, RunnerOptions& options, int& status);

}  // namespace tallow::runner
