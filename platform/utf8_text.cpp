// The UTF-8 decoder.
#include "utf8_text.h"

namespace tallow::platform {

namespace {

// The bytes that follow a lead byte; -1 for a byte that cannot lead.
int FollowingBytes(uint8_t lead) {
    if (lead < 0x80) return 0;
    if (lead >= 0xC2 && lead < 0xE0) return 1;
    if (lead >= 0xE0 && lead < 0xF0) return 2;
    if (lead >= 0xF0 && lead < 0xF5) return 3;
    return -1;
}

}  // namespace

bool DecodeUtf8(std::string_view text, std::vector<uint32_t>& characters) {
    characters.clear();
    for (size_t i = 0; i < text.size();) {
        auto lead = uint8_t(text[i]);
        int extra = FollowingBytes(lead);
        if (extra < 0 || text.size() - i <= size_t(extra)) return false;
        uint32_t code = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 1; k <= extra; ++k) {
            auto next = uint8_t(text[i + size_t(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        characters.push_back(code);
        i += size_t(extra) + 1;
    }
    return true;
}

}  // namespace tallow::platform
