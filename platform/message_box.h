// Message boxes, and the process-wide unattended mode in which they are
// written to standard error instead of being shown.
#pragma once

#include <string_view>

#include "handles.h"

namespace tallow::platform {

// Win32 message-box type and result codes.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbAbortRetryIgnore = 0x2;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbRetryCancel = 0x5;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7;

// Shows a box owned by owner and returns the button pressed.
int ShowMessageBox(Handle owner, std::string_view text, std::string_view caption, unsigned type);

// Unattended: no box and no modal dialog is shown. Starts on when the
// environment variable TALLOW_UNATTENDED is set to anything but "" or "0".
void SetUnattended(bool unattended);
bool Unattended();

// The result of a box's first button: OK, Abort, Yes or Retry.
int FirstButtonResult(unsigned type);
// Writes "caption: text\n" to standard error.
void WriteBoxToStdError(std::string_view text, std::string_view caption);

// Error boxes (a script's uncaught error, warnings, a code file that cannot
// be used) go to standard error instead of a window when this is on: for
// console programs, whose user reads the terminal. Off unless a program
// switches it on; process-wide.
void SetErrorBoxesToStdError(bool on);
bool ErrorBoxesToStdError();
// An error box: with toStdError written as an unattended box is (an observer
// still receives it), else shown as ShowMessageBox shows any box.
int ShowErrorMessage(Handle owner, std::string_view text, std::string_view caption, unsigned type,
                     bool toStdError);

// An observer that receives every box instead of the user (for tests and
// for running untrusted text quietly); null removes it. Process-wide.
using BoxObserver = void (*)(void* context, std::string_view text, std::string_view caption);
void SetBoxObserver(BoxObserver observer, void* context);
// Whether an observer takes the boxes (and choosers) now.
bool HasBoxObserver();
// Hands the box to the observer; false when there is none.
bool ObserveBox(std::string_view text, std::string_view caption);

}  // namespace tallow::platform
