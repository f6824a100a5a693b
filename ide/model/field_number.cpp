// Reading a numeric dialog field.
#include "ide/model/field_number.h"

#include <limits>

namespace tallow::ide {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

std::optional<int> ParseFieldNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulated as a magnitude that stops growing past int's range.
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (magnitude <= kLimit) magnitude = magnitude * 10 + (c - '0');
    }
    if (negative) return magnitude >= kLimit ? std::numeric_limits<int>::min() : static_cast<int>(-magnitude);
    return magnitude >= kLimit ? std::numeric_limits<int>::max() : static_cast<int>(magnitude);
}

}  // namespace tallow::ide
