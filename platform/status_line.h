// The one-line form of a status window for a text terminal, as the Linux
// status window draws it on standard error. Pure logic, tested on both
// targets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tallow::platform {

// Cells of the bar: one per 5 percent.
constexpr int kStatusBarCells = 20;

// "title: message [#####...............] 25%", cut to at most width bytes
// (the title and message give way first, so the bar and percent stay while
// they fit). An empty message drops its ": ", an empty title too.
std::string FormatStatusLine(std::string_view title, std::string_view message, int percent, size_t width);

}  // namespace tallow::platform
