// The number a dialog's numeric field holds: what the user typed, read the
// way a spin field reads its buddy text.
#pragma once

#include <optional>
#include <string_view>

namespace tallow::ide {

// Optional blanks, an optional sign and decimal digits, optional blanks;
// anything else (an empty field included) is no number. Values beyond int's
// range are held at its ends, so a caller's clamp still applies.
std::optional<int> ParseFieldNumber(std::string_view text);

}  // namespace tallow::ide
