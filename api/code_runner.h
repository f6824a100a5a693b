// The code runner's second entrance, for a program that carries its code
// file inside itself: the decoded file runs as RunTallowCode runs one read
// from disk.
#pragma once

#include <string>
#include <vector>

#include "codec/code_file.h"

namespace tallow {

struct ErrorReport;

// Runs a decoded code file in a program of its own: one dialog object per
// dialog, arguments as `argv`, fileName as the script's file name. Returns
// the script's exit code, or 0 after the runner's box when a dialog cannot
// be created; GetCodeRunOutcome tells which afterwards. Raises nothing.
int RunDecodedCodeFile(codec::CodeFile file, const std::string& fileName, std::vector<std::string> arguments);

}  // namespace tallow
