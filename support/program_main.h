// How the programs start and fail: their work on a stack deep enough for the
// engine's nesting limit, memory exhaustion reported instead of an uncaught
// exception, and a failure shown in a box.
#pragma once

#include <string_view>

namespace tallow::support {

// Calls main(argc, argv) on a large stack and returns its status. When it
// runs out of memory, calls outOfMemory to say so and returns kStatusFailed.
int RunMain(int (*main)(int, char**), int argc, char** argv, void (*outOfMemory)());

// A box with an OK button and the exclamation icon, captioned caption;
// unattended (and on Linux without a display) a line "caption: text" on
// standard error. Only for the programs that carry the engine.
void ShowFailureBox(std::string_view caption, std::string_view text);

}  // namespace tallow::support
