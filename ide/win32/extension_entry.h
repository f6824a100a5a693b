// What TallowEdit's six extension entry points stand on: the adapter they
// forward to, the engine's GetProperty and SetProperty looked up in
// TallowCore.dll at first use (so TallowEdit starts without the engine),
// and the guard that turns any failure into a script error for the engine
// instead of letting a C++ exception leave the entry point.
#pragma once

#include <cstring>
#include <exception>

#include "ide/model/extension_adapter.h"

namespace tallow::ide::win32 {

// The adapter of this process; no handlers are installed in it.
ExtensionAdapter& EntryAdapter();

// Hands an error to the engine (ThrowError with kind 1 on the object). It
// does not return when the engine takes it; it returns when there is no
// engine or no object.
using EngineRaiser = void (*)(void* object, int kind, const char* message);
// Replaces the raiser (tests); nullptr: TallowCore's ThrowError again.
void SetEngineRaiser(EngineRaiser raiser);
void RaiseInEngine(void* object, const char* message);

// An error's text as handed to the engine; longer texts are cut.
inline constexpr size_t kEntryMessageSize = 256;

// Runs an entry point's work and returns its result, or 0 after a failure,
// which goes to the engine first. The text is copied into a plain buffer
// before that: the engine's error does not return, so nothing with a
// destructor may be alive here or in the caller when it is raised.
template <typename F>
int GuardEntry(void* object, F&& work) {
    char message[kEntryMessageSize] = {};
    int result = 0;
    try {
        result = work();
    } catch (const std::exception& e) {
        std::strncpy(message, e.what(), kEntryMessageSize - 1);
    } catch (...) {
        std::strncpy(message, "Internal error", kEntryMessageSize - 1);
    }
    if (message[0] == '\0') return result;
    RaiseInEngine(object, message);
    return 0;
}

}  // namespace tallow::ide::win32
