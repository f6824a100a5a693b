// The failure box of the programs that carry the engine; a file of its own,
// so that the runner, which reaches the engine only through its exports,
// never links it.
#include "support/program_main.h"
#include "support/system.h"

namespace tallow::support {

void ShowFailureBox(std::string_view caption, std::string_view text) {
    platform::ShowMessageBox(nullptr, text, caption, platform::kMbOk | platform::kMbIconExclamation);
}

}  // namespace tallow::support
