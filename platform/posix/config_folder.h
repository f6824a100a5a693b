// The user's configuration folder of Tallow on Linux, shared by the registry
// store and initialisation files named without a folder.
#pragma once

#include <string>

namespace tallow::platform {

// $XDG_CONFIG_HOME/tallow, or ~/.config/tallow when XDG_CONFIG_HOME is not
// an absolute path.
std::string ConfigFolder();
// Creates folder and its missing parents, private to the user.
bool MakeFolders(const std::string& folder);

}  // namespace tallow::platform
