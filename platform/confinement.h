// Confinement for text nobody trusts (the fuzz targets, hosts that want it):
// file operations keep to the current folder and below, no library loads,
// no waiting. Process-wide; off unless switched on.
#pragma once

#include <string_view>

namespace tallow::platform {

void SetConfined(bool confined);
bool Confined();

// Whether a file operation may touch path: always when not confined; when
// confined, only relative paths without ".." components or drive letters.
bool PathAllowed(std::string_view path);

}  // namespace tallow::platform
