// What the programs (the runner, the launcher, tallowmake and the stub of a
// stand-alone executable, tallowcod, TallowEdit) ask of the system. They
// include this header, not platform/: the support library builds these
// services from the platform layer. ReadFileBytes and ShowMessageBox are the
// engine's own, for the programs that carry the engine inside them
// (tallowmake and the stub); the file replacement is a library that the
// engine and the support library share.
#pragma once

#include "platform/browser.h"
#include "platform/file_read.h"
#include "platform/file_replacement.h"
#include "platform/large_stack.h"
#include "platform/line_editor.h"
#include "platform/message_box.h"
#include "platform/self_path.h"
#include "platform/shell_registration.h"
#include "platform/standard_streams.h"

namespace tallow::support {

using platform::CodeFileLauncher;
using platform::ExecutablePath;
using platform::FileRead;
using platform::FileReplacement;
using platform::FileUrl;
using platform::LineEditor;
using platform::OpenInBrowser;
using platform::RawArgumentText;
using platform::ReadFileBytes;
using platform::ReadPlainLine;
using platform::ReadStandardInput;
using platform::ReadStandardInputAsBytes;
using platform::RegisterCodeFiles;
using platform::ReplacedKind;
using platform::ReplaceFileContents;
using platform::RunWithLargeStack;
using platform::StandardInputIsTerminal;
using platform::UnregisterCodeFiles;
using platform::WaitForKeyInOpenedConsole;
using platform::WriteStandardOutputAsBytes;

}  // namespace tallow::support
