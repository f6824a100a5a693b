// The US keyboard layout as a table of the 128 ASCII characters.
#include "us_key_layout.h"

#include <array>

namespace tallow::platform {

namespace {

struct LayoutEntry {
    uint8_t virtualKey = 0;  // 0: no key types the character
    uint8_t modifiers = 0;
};

// Punctuation on the US layout: the unshifted and the shifted character of
// each key besides the letters and digits.
struct PunctuationKey {
    char plain, shifted;
    uint8_t virtualKey;
};
constexpr PunctuationKey kPunctuation[] = {
    {';', ':', 0xBA},  {'=', '+', 0xBB}, {',', '<', 0xBC},  {'-', '_', 0xBD},
    {'.', '>', 0xBE},  {'/', '?', 0xBF}, {'`', '~', 0xC0},  {'[', '{', 0xDB},
    {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE},
};
// The shifted digit keys, from 0 to 9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

constexpr std::array<LayoutEntry, 128> MakeLayout() {
    std::array<LayoutEntry, 128> table{};
    for (int i = 0; i < 26; ++i) {
        table['a' + i] = {uint8_t('A' + i), 0};
        table['A' + i] = {uint8_t('A' + i), kModShift};
    }
    for (int i = 0; i < 10; ++i) {
        table['0' + i] = {uint8_t('0' + i), 0};
        table[uint8_t(kShiftedDigits[i])] = {uint8_t('0' + i), kModShift};
    }
    for (const PunctuationKey& k : kPunctuation) {
        table[uint8_t(k.plain)] = {k.virtualKey, 0};
        table[uint8_t(k.shifted)] = {k.virtualKey, kModShift};
    }
    table[' '] = {0x20, 0};
    table['\b'] = {0x08, 0};
    table['\t'] = {0x09, 0};
    table['\r'] = {0x0D, 0};
    table['\n'] = {0x0D, kModCtrl};  // Ctrl+Return types a line feed
    return table;
}

constexpr std::array<LayoutEntry, 128> kLayout = MakeLayout();

}  // namespace

bool UsLayoutKeyForChar(char c, CharKey& key) {
    unsigned char index = static_cast<unsigned char>(c);
    if (index >= kLayout.size() || kLayout[index].virtualKey == 0) return false;
    key = {kLayout[index].virtualKey, kLayout[index].modifiers};
    return true;
}

}  // namespace tallow::platform
