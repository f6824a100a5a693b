// The setting every fuzz target that runs script text shares: a private
// working folder, no boxes shown, a null console, confinement, a clock that
// stands still, and the statement budget that ends endless loops. With
// TALLOW_FUZZ_SHOW set, a target that does not observe boxes itself shows
// its output and boxes, to look at what a reproducer does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/handles.h"
#include "platform/message_box.h"

namespace tallow::fuzz {

// Statements one run may execute: enough for loops to do real work, few
// enough that each input takes milliseconds.
constexpr int64_t kStatementBudget = 20000;

// Memory one program may hold: several programs live at once in the api
// target, and a script can fill a block of the whole default budget in two
// statements; this keeps them well inside libFuzzer's memory limits.
constexpr int64_t kMemoryBudget = 256 << 20;

// Makes the process ready for untrusted text: a private folder below the
// system's temporary folder (named after tag and the process, removed when
// the process exits normally) as the working folder, unattended mode with observer receiving every box (a
// silent one when null), the null device as standard input and output, confinement and
// a clock that stands still.
void SetUpEnvironment(const char* tag, platform::BoxObserver observer = nullptr, void* context = nullptr);

// Empties the private folder and makes it the working folder again: a
// script may have changed into a folder below it or filled it.
void ResetFolder();

// The null device opened once for reading and once for writing.
platform::Handle NullInputHandle();
platform::Handle NullOutputHandle();

// Text as the runner hands it to the engine: up to the first NUL (the
// engine passes over a byte-order mark and a first "#!" line itself).
std::string ScriptText(const uint8_t* data, size_t size);

}  // namespace tallow::fuzz
