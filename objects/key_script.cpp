// The key-script reader behind sendkeys.
#include "key_script.h"

#include <string>

namespace tallow {

namespace {

struct KeyName {
    const char* name;
    uint8_t virtualKey;
};

// The keys a script names in brackets (function keys aside).
constexpr KeyName kKeyNameTable[] = {
    {"TAB", 9},          {"BACK", 8},         {"INS", 45},   {"DEL", 46},      {"HOME", 36}, {"END", 35},
    {"PAGEUP", 33},      {"PAGEDOWN", 34},    {"UP", 38},    {"DOWN", 40},     {"LEFT", 37}, {"RIGHT", 39},
    {"PRINTSCREEN", 44}, {"SCROLLLOCK", 145}, {"PAUSE", 19}, {"NUMLOCK", 144},
};

// Function keys F1 to F24 have the virtual keys 112 to 135.
constexpr int kFunctionKeyBase = 111;
constexpr int kLastFunctionKey = 24;

// The function-key number of "F<decimal>" (upper case), or 0. Only numbers
// that name a real function key count: "F0", "F99" or "FOO" name no key.
int FunctionKeyNumber(std::string_view name) {
    if (name.size() < 2 || name[0] != 'F') return 0;
    int number = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
        if (number > kLastFunctionKey) return 0;
    }
    return number;
}

// The keys pressed so far and the modifiers latched for the next one.
class StrokeWriter {
public:
    explicit StrokeWriter(std::vector<platform::KeyStroke>& out) : out_(out) {}

    void Latch(unsigned modifiers) { latches_ |= modifiers; }

    void Press(uint8_t virtualKey) {
        ModifierKeys(true);
        out_.push_back({virtualKey, true});
        out_.push_back({virtualKey, false});
        ModifierKeys(false);
        latches_ = 0;
    }

    // A character through the layout; one no key types is left out.
    void Type(char c, CharKeyMap map) {
        platform::CharKey key;
        if (!map(c, key)) return;
        Latch(key.modifiers & (platform::kModShift | platform::kModCtrl | platform::kModAlt));
        Press(key.virtualKey);
    }

private:
    // Ctrl, Alt and Shift in that order, pressing or releasing.
    void ModifierKeys(bool down) {
        if (latches_ & platform::kModCtrl) out_.push_back({platform::kVkControl, down});
        if (latches_ & platform::kModAlt) out_.push_back({platform::kVkAlt, down});
        if (latches_ & platform::kModShift) out_.push_back({platform::kVkShift, down});
    }

    std::vector<platform::KeyStroke>& out_;
    unsigned latches_ = 0;
};

}  // namespace

int KeyNameCode(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (int number = FunctionKeyNumber(upper)) return kFunctionKeyBase + number;
    for (const KeyName& k : kKeyNameTable)
        if (upper == k.name) return k.virtualKey;
    return 0;
}

// keys = { char | "\\" "\" | "\+" | "\^" | "\@" | "\[" name "]" | "\" other }
KeyScript ParseKeyScript(std::string_view text, CharKeyMap map) {
    KeyScript script;
    StrokeWriter writer(script.strokes);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            writer.Type(text[i], map);
            continue;
        }
        if (++i == text.size()) break;  // a lone backslash ends the text
        switch (text[i]) {
            case '\\':
                writer.Type('\\', map);
                break;
            case '+':
                writer.Latch(platform::kModShift);
                break;
            case '^':
                writer.Latch(platform::kModCtrl);
                break;
            case '@':
                writer.Latch(platform::kModAlt);
                break;
            case '[': {
                size_t close = text.find(']', i + 1);
                if (close == std::string_view::npos) return script;  // unclosed: the text ends
                int code = KeyNameCode(text.substr(i + 1, close - i - 1));
                if (code == 0) {
                    script.unknownKey = true;
                    return script;
                }
                writer.Press(uint8_t(code));
                i = close;
                break;
            }
            default:
                break;  // any other escaped character is ignored
        }
    }
    return script;
}

}  // namespace tallow
