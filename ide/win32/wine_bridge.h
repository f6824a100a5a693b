// What TallowEdit needs to know when it runs under Wine on Linux: that it
// does, and where a file lies for the Linux programs (the browser) it hands
// pages to.
#pragma once

#include <optional>
#include <string>

namespace tallow::ide::win32 {

bool RunningUnderWine();

// The Linux path of a Windows path, under Wine; nothing elsewhere.
std::optional<std::string> UnixPathOf(const std::string& path);

// A file URL that the browser showing the help can follow: under Wine the
// Linux path's, else the Windows path's. A trailing separator stays.
std::string BrowserFileUrl(const std::string& path);

// Opens a page (a file path, no anchor) in the browser: under Wine through
// winebrowser, which hands it to the Linux desktop's browser (a fresh Wine
// prefix associates no program with .html files), else through the shell's
// "open" verb. The error text, or empty when it started.
std::string OpenInBrowser(const std::string& path);

}  // namespace tallow::ide::win32
