// What mailslots do alike on every system: the reading of their names.
#include "platform/mailslot.h"

#include "platform/text_case.h"

namespace tallow::platform {

std::string LocalMailslotName(std::string_view name) {
    std::string lower(name);
    LowerCaseText(lower);
    std::string prefix(kLocalMailslotPrefix);
    LowerCaseText(prefix);
    if (lower.size() <= prefix.size() || lower.compare(0, prefix.size(), prefix) != 0) return {};
    return lower.substr(prefix.size());
}

}  // namespace tallow::platform
