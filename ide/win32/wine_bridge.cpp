// Wine's own exports, found at run time so that the same program runs on
// Windows, and the browser started the way each system can.
#include "ide/win32/wine_bridge.h"

#include <windows.h>

#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

#include "ide/win32/help_engine.h"
#include "ide/win32/program_starter.h"

namespace tallow::ide::win32 {

namespace {

using UnixFileNameProc = char*(CDECL*)(const WCHAR*);

UnixFileNameProc UnixFileNameEntry() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<UnixFileNameProc>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
                  : nullptr;
}

std::string EscapedUrlPath(std::string_view path) {
    std::string out;
    char buffer[4];
    for (unsigned char c : path) {
        if (std::isalnum(c) ||
            std::string_view("/-_.~").find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            out += buffer;
        }
    }
    return out;
}

}  // namespace

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<std::string> UnixPathOf(const std::string& path) {
    UnixFileNameProc entry = UnixFileNameEntry();
    if (!entry) return std::nullopt;
    int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::vector<WCHAR> wide(length);
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    char* unix = entry(wide.data());
    if (!unix) return std::nullopt;
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::string BrowserFileUrl(const std::string& path) {
    if (std::optional<std::string> unix = UnixPathOf(path)) {
        std::string url = "file://" + EscapedUrlPath(*unix);
        if (!path.empty() && (path.back() == '\\' || path.back() == '/') && url.back() != '/') url += '/';
        return url;
    }
    return FileUrl(path);
}

std::string OpenInBrowser(const std::string& path) {
    if (RunningUnderWine()) {
        StartOutcome started = StartProcess("", "winebrowser.exe \"" + path + "\"", "", {}, true);
        return started.started ? std::string() : started.error;
    }
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32 ? std::string() : SystemErrorText(GetLastError());
}

}  // namespace tallow::ide::win32
