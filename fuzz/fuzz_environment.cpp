// The shared fuzzing environment: folder, boxes, console, confinement, clock.
// The fuzz targets are built on Linux only (clang's libFuzzer).
#include "fuzz/fuzz_environment.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/clock.h"
#include "platform/confinement.h"
#include "platform/console.h"

namespace tallow::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path gFolder;
platform::Handle gNullInput = nullptr;
platform::Handle gNullOutput = nullptr;

void Quiet(void*, std::string_view, std::string_view) {}

// A clock that stands still and cannot be set, so that programs compared
// with each other read the same time (file times still move).
class FixedClock : public platform::SystemClock {
public:
    platform::LocalTime Now() override { return {2000, 1, 1, 12, 0, 0}; }
    bool Set(const platform::LocalTime&) override { return false; }
};
FixedClock gClock;

// The private folder goes when the process ends normally.
void RemoveFolder() {
    std::error_code ec;
    fs::current_path(gFolder.parent_path(), ec);
    fs::remove_all(gFolder, ec);
}

}  // namespace

void SetUpEnvironment(const char* tag, platform::BoxObserver observer, void* context) {
    gFolder =
        fs::temp_directory_path() / (std::string("tallow-fuzz-") + tag + "-" + std::to_string(getpid()));
    fs::create_directories(gFolder);
    fs::current_path(gFolder);
    std::atexit(RemoveFolder);
    gNullInput = platform::NullInput();
    gNullOutput = platform::NullOutput();
    platform::SetUnattended(true);
    platform::SetConfined(true);
    platform::InstallClock(&gClock);
    // To look at what a reproducer does: its output and boxes shown.
    if (const char* show = std::getenv("TALLOW_FUZZ_SHOW"); show && *show && !observer) return;
    platform::SetBoxObserver(observer ? observer : Quiet, context);
    platform::SetStdHandles(gNullInput, gNullOutput);
}

void ResetFolder() {
    std::error_code ec;
    fs::current_path(gFolder, ec);
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(gFolder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    for (const fs::path& entry : entries)
        fs::remove_all(entry, ec);
}

platform::Handle NullInputHandle() {
    return gNullInput;
}
platform::Handle NullOutputHandle() {
    return gNullOutput;
}

std::string ScriptText(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    return std::string(text.substr(0, text.find('\0')));
}

}  // namespace tallow::fuzz
