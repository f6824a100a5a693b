// Copying, moving, renaming and deleting files and whole directory trees, as
// the shell's file operation does it.
#pragma once

#include <string>

#include "handles.h"

namespace tallow::platform {

// Operation codes and flags: the shell's values, which scripts pass as the
// fo and fof constants.
constexpr unsigned kFileOpMove = 1;
constexpr unsigned kFileOpCopy = 2;
constexpr unsigned kFileOpDelete = 3;
constexpr unsigned kFileOpRename = 4;
constexpr unsigned kFileOpSilent = 0x4;
constexpr unsigned kFileOpRenameOnCollision = 0x8;
constexpr unsigned kFileOpNoConfirmation = 0x10;
constexpr unsigned kFileOpNoConfirmMkDir = 0x200;

// Applies operation to source (a path whose last component may hold the
// wildcards * and ?) and target (ignored by delete). Directories go with
// everything in them. True when the whole operation succeeded.
//
// On Windows the shell does it, its dialogs owned by owner; unattended, no
// dialog is shown and every question is answered yes. Linux asks nothing: a
// copy or move replaces an existing file of its name and merges into an
// existing directory of its name (kFileOpRenameOnCollision gives it a new
// name instead), a rename replaces nothing, and a missing target directory
// is created only with kFileOpNoConfirmMkDir.
bool ShellFileOperation(unsigned operation, const std::string& source, const std::string& target,
                        unsigned flags, Handle owner);

}  // namespace tallow::platform
