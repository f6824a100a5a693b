// Fuzz target: arbitrary text run by a fresh program, with its line ends
// made what the runner makes them (bare LF becomes CR LF; the engine counts
// only CR), so multi-line text reaches blocks, procedures and labels.
// Message boxes go to a silent observer, file operations are confined to a
// private folder, the console is the null device, and a statement budget
// ends endless loops.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/program.h"
#include "fuzz/fuzz_environment.h"

namespace {

// Longest text that is also run a second time on the same program.
constexpr size_t kRerunLimit = 4096;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tallow::fuzz::SetUpEnvironment("run");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = tallow::fuzz::ScriptText(data, size);
    tallow::fuzz::ResetFolder();
    tallow::Program program;
    program.statementLimit = tallow::fuzz::kStatementBudget;
    program.SetMemoryLimit(tallow::fuzz::kMemoryBudget);
    program.Run(text.c_str());
    // Run the same text again on the same program: what was remembered about
    // the first run must not leak into the second.
    if (text.size() < kRerunLimit) program.Run(text.c_str());
    return 0;
}
