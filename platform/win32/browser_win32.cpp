// The browser on Windows: the shell's "open" of the URL.
#include <windows.h>

#include <shellapi.h>

#include "platform/browser.h"

namespace tallow::platform {

bool OpenInBrowser(const std::string& url) {
    HINSTANCE result = ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace tallow::platform
