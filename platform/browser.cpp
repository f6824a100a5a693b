// File URLs, the same on both targets.
#include "platform/browser.h"

namespace tallow::platform {

std::string FileUrl(const std::string& path, const std::string& fragment) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    if (!path.empty() && path[0] != '/') url += '/';  // a drive letter: file:///C:/...
    for (unsigned char c : path) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                     c == '-' || c == '_' || c == '.' || c == '~' || c == ':';
        if (c == '\\') {
            url += '/';
        } else if (plain) {
            url += char(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    if (!fragment.empty()) url += "#" + fragment;
    return url;
}

}  // namespace tallow::platform
