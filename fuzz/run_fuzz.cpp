// Fuzz target: arbitrary text run by a fresh program. Message boxes go to a
// silent observer, file operations are confined to a private folder, the
// console is the null device, and a statement budget ends endless loops.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/program.h"
#include "platform/confinement.h"
#include "platform/console.h"
#include "platform/message_box.h"

namespace {

// Statements one input may run: enough for loops to do real work, few
// enough that each input takes milliseconds.
constexpr int64_t kStatementBudget = 20000;

void Quiet(void*, std::string_view, std::string_view) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tallow-fuzz-" + std::to_string(uint64_t(&Quiet) & 0xffffff));
    fs::create_directories(folder);
    fs::current_path(folder);
    tallow::platform::SetUnattended(true);
    tallow::platform::SetBoxObserver(Quiet, nullptr);
    tallow::platform::SetStdHandles(tallow::platform::NullInput(), tallow::platform::NullOutput());
    tallow::platform::SetConfined(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    tallow::Program program;
    program.statementLimit = kStatementBudget;
    program.Run(text.c_str());
    // Run the same text again on the same program: what was remembered about
    // the first run must not leak into the second.
    if (size < 4096) program.Run(text.c_str());
    return 0;
}
