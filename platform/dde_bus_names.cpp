// Escaping of data-exchange names into bus names and object paths.
#include "dde_bus_names.h"

namespace tallow::platform {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Escapes name into one element that both bus names and object paths accept.
// A bus name element must not begin with a digit, so digitFirstOk says
// whether one may stay as it is in front.
std::string EscapeElement(std::string_view name, bool digitFirstOk) {
    if (name.empty()) return "_";
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
        bool digit = c >= '0' && c <= '9';
        if ((c >= 'a' && c <= 'z') || (digit && (i > 0 || digitFirstOk))) {
            out += static_cast<char>(c);
            continue;
        }
        out += '_';
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 0xF];
    }
    return out;
}

}  // namespace

std::string DdeBusName(std::string_view service) {
    return std::string(kDdeBusNamePrefix) + EscapeElement(service, false);
}

std::string DdeObjectPath(std::string_view topic) {
    return std::string(kDdeObjectPathPrefix) + EscapeElement(topic, true);
}

}  // namespace tallow::platform
