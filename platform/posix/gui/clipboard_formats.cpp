// Clipboard format names and the helper's record stream.
#include "clipboard_formats.h"

#include <vector>

namespace tallow::gui {

namespace {

std::vector<std::string> gRegistered;  // index + kFirstRegisteredFormat

void PutLength(std::string& out, size_t length) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((length >> shift) & 0xFF));
}

bool TakeText(const std::string& bytes, size_t& at, std::string& text) {
    if (bytes.size() - at < 4) return false;
    size_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= size_t(uint8_t(bytes[at + i])) << (8 * i);
    at += 4;
    if (bytes.size() - at < length) return false;
    text = bytes.substr(at, length);
    at += length;
    return true;
}

}  // namespace

std::string TargetOfFormat(unsigned format) {
    if (format == kTextFormat) return {};
    if (format >= kFirstRegisteredFormat && format - kFirstRegisteredFormat < gRegistered.size())
        return gRegistered[format - kFirstRegisteredFormat];
    return "TALLOW_FORMAT_" + std::to_string(format);
}

unsigned RegisterFormat(const std::string& name) {
    if (name.empty()) return 0;
    for (size_t i = 0; i < gRegistered.size(); ++i)
        if (gRegistered[i] == name) return unsigned(kFirstRegisteredFormat + i);
    gRegistered.push_back(name);
    return unsigned(kFirstRegisteredFormat + gRegistered.size() - 1);
}

std::string EncodeContents(const ClipboardContents& contents) {
    std::string out;
    for (const auto& [name, data] : contents) {
        PutLength(out, name.size());
        out += name;
        PutLength(out, data.size());
        out += data;
    }
    return out;
}

bool DecodeContents(const std::string& bytes, ClipboardContents& contents) {
    size_t at = 0;
    while (at < bytes.size()) {
        std::string name, data;
        if (!TakeText(bytes, at, name) || !TakeText(bytes, at, data)) return false;
        contents[name] = data;
    }
    return true;
}

}  // namespace tallow::gui
