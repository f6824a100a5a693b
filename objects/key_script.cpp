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

// The keys pressed so far, handed on in batches, and the modifiers latched
// for the next key.
class StrokeWriter {
public:
    explicit StrokeWriter(const StrokeSink& sink) : sink_(sink) { batch_.reserve(kStrokeBatch); }

    void Latch(unsigned modifiers) { latches_ |= modifiers; }

    void Press(uint8_t virtualKey) {
        ModifierKeys(true);
        batch_.push_back({virtualKey, true});
        batch_.push_back({virtualKey, false});
        ModifierKeys(false);
        latches_ = 0;
        if (batch_.size() + kMaxStrokesPerKey > kStrokeBatch) Flush();
    }

    // A character through the layout; one no key types is left out.
    void Type(char c, CharKeyMap map) {
        platform::CharKey key;
        if (!map(c, key)) return;
        Latch(key.modifiers & (platform::kModShift | platform::kModCtrl | platform::kModAlt));
        Press(key.virtualKey);
    }

    void Flush() {
        if (!batch_.empty()) sink_(batch_);
        batch_.clear();
    }

private:
    // Three modifiers down and up around the key.
    static constexpr size_t kMaxStrokesPerKey = 8;

    // Ctrl, Alt and Shift in that order, pressing or releasing.
    void ModifierKeys(bool down) {
        if (latches_ & platform::kModCtrl) batch_.push_back({platform::kVkControl, down});
        if (latches_ & platform::kModAlt) batch_.push_back({platform::kVkAlt, down});
        if (latches_ & platform::kModShift) batch_.push_back({platform::kVkShift, down});
    }

    const StrokeSink& sink_;
    std::vector<platform::KeyStroke> batch_;
    unsigned latches_ = 0;
};

// The text up to its end or an unknown key name: false at the latter.
bool ReadKeys(std::string_view text, CharKeyMap map, StrokeWriter& writer) {
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
                if (close == std::string_view::npos) return true;  // unclosed: the text ends
                int code = KeyNameCode(text.substr(i + 1, close - i - 1));
                if (code == 0) return false;
                writer.Press(uint8_t(code));
                i = close;
                break;
            }
            default:
                break;  // any other escaped character is ignored
        }
    }
    return true;
}

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

// keys = { char | "\\" | "\+" | "\^" | "\@" | "\[" name "]" | "\" other }
bool ReadKeyScript(std::string_view text, CharKeyMap map, const StrokeSink& sink) {
    StrokeWriter writer(sink);
    bool known = ReadKeys(text, map, writer);
    writer.Flush();
    return known;
}

KeyScript ParseKeyScript(std::string_view text, CharKeyMap map) {
    KeyScript script;
    StrokeSink collect = [&](std::span<const platform::KeyStroke> strokes) {
        script.strokes.insert(script.strokes.end(), strokes.begin(), strokes.end());
    };
    script.unknownKey = !ReadKeyScript(text, map, collect);
    return script;
}

}  // namespace tallow
