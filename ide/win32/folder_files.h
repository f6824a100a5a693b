// The names of the files (not folders) in a folder that match a wildcard
// pattern such as "*.cnt", sorted; none when the folder cannot be read.
#pragma once

#include <string>
#include <vector>

namespace tallow::ide::win32 {

// folder ends with a path separator or is empty (the current folder).
std::vector<std::string> FilesIn(const std::string& folder, const char* pattern);

}  // namespace tallow::ide::win32
