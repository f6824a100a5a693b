// The word sort as a key of five levels per text, compared level by level:
// the main weights of the characters, their accents, their forms
// (superscript digits), the characters that count only at the end (hyphens,
// apostrophes, dashes, control characters) with their positions, and
// letter case, which the system ignores and which only breaks its ties.
#include "word_order.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "utf8_text.h"

namespace tallow::platform {

namespace {

// The characters of the Windows code page in the order of their main
// weights, lowest first. A group holds the characters of one main weight,
// the plain one first and the accented ones in the order of their accents.
// Capital letters are not listed: they count as their small letters.
// clang-format off
constexpr std::string_view kWeightGroups[] = {
    " ", "\xA0", "\t", "\n", "\v", "\f", "\r",
    "!", "\"", "#", "$", "%", "&", "(", ")", "*", ",", ".", "/", ":", ";", "?", "@", "[", "\\", "]", "^",
    "_", "`", "{", "|", "}", "~",
    "\xA1", "\xA6", "\xA8", "\xAF", "\xB4", "\xB8", "\xBF", "\x98", "\x91", "\x92", "\x82", "\x93", "\x94",
    "\x84", "\x8B", "\x9B", "\xA2", "\xA3", "\xA4", "\xA5", "\x80", "+", "<", "=", ">", "\xB1", "\xAB",
    "\xBB", "\xD7", "\xF7", "\xA7", "\xA9", "\xAC", "\xAE", "\xB0", "\xB5", "\xB6", "\xB7", "\x85", "\x86",
    "\x87", "\x95", "\x89", "\x81\x8D\x8F\x90\x9D",
    "0", "\xBC", "\xBD", "\xBE", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "a\xAA\xE1\xE0\xE2\xE4\xE3\xE5", "b", "c\xE7", "d\xF0", "e\xE9\xE8\xEA\xEB", "f\x83", "g", "h",
    "i\xED\xEC\xEE\xEF", "j", "k", "l", "m", "n\xF1", "o\xBA\xF3\xF2\xF4\xF6\xF5\xF8", "p", "q", "r",
    "s\x9A", "t", "\x99", "u\xFA\xF9\xFB\xFC", "v", "w", "x", "y\xFD\xFF", "z\x9E",
};
// clang-format on

// The characters without a main weight, in the order of their own weights:
// they count only where the rest of two texts is equal.
constexpr std::string_view kLateCharacters =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E"
    "\x1F\x7F'-\x96\x97";

// Letters that count as two: æ, œ, ß, þ.
constexpr std::pair<char, std::string_view> kDoubleLetters[] = {
    {'\xE6', "ae"}, {'\x9C', "oe"}, {'\xDF', "ss"}, {'\xFE', "th"}};

// The capitals of the code page that are no ASCII letters, with their small
// letters; the modifier circumflex counts as the circumflex accent.
constexpr std::pair<char, char> kOtherCapitals[] = {
    {'\x8A', '\x9A'}, {'\x8C', '\x9C'}, {'\x8E', '\x9E'}, {'\x9F', '\xFF'}, {'\x88', '^'}};

// The superscript digits count as their digits in another form.
constexpr std::pair<char, char> kSuperscripts[] = {{'\xB9', '1'}, {'\xB2', '2'}, {'\xB3', '3'}};

// Main weights of characters the code page lacks start here, above all of
// the table's.
constexpr uint32_t kBeyondTable = 0x10000;

// Where the Windows code page puts the characters of U+0080 to U+02FF and
// above that it holds; the rest of Latin-1 is the same number.
constexpr std::pair<uint32_t, uint8_t> kCodePageExtras[] = {
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
    {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
    {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
    {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F}};

struct CharWeights {
    std::array<uint16_t, 256> main{};   // 0: none
    std::array<uint8_t, 256> accent{};  // rank in the group of its main weight
    std::array<uint8_t, 256> late{};    // 0: none
    std::array<uint8_t, 256> small{};   // the character a capital or superscript counts as
    std::array<bool, 256> capital{};
    std::array<bool, 256> superscript{};
};

CharWeights BuildWeights() {
    CharWeights w;
    for (int c = 0; c < 256; ++c)
        w.small[size_t(c)] = uint8_t(c);
    for (int c = 'A'; c <= 'Z'; ++c) {
        w.small[size_t(c)] = uint8_t(c + 32);
        w.capital[size_t(c)] = true;
    }
    // À to Þ, but not ×.
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c == 0xD7) continue;
        w.small[size_t(c)] = uint8_t(c + 32);
        w.capital[size_t(c)] = true;
    }
    for (auto [capital, small] : kOtherCapitals) {
        w.small[uint8_t(capital)] = uint8_t(small);
        w.capital[uint8_t(capital)] = true;
    }
    for (auto [superscript, digit] : kSuperscripts) {
        w.small[uint8_t(superscript)] = uint8_t(digit);
        w.superscript[uint8_t(superscript)] = true;
    }
    uint16_t weight = 0;
    for (std::string_view group : kWeightGroups) {
        ++weight;
        for (size_t i = 0; i < group.size(); ++i) {
            w.main[uint8_t(group[i])] = weight;
            w.accent[uint8_t(group[i])] = uint8_t(i);
        }
    }
    for (size_t i = 0; i < kLateCharacters.size(); ++i)
        w.late[uint8_t(kLateCharacters[i])] = uint8_t(i + 1);
    return w;
}

const CharWeights& Weights() {
    static const CharWeights weights = BuildWeights();
    return weights;
}

// The code page's number for a character, kBeyondTable plus its own number
// for one the code page lacks.
uint32_t CodePageNumber(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return code;
    for (auto [unicode, byte] : kCodePageExtras)
        if (unicode == code) return byte;
    return kBeyondTable + code;
}

// The characters of a text: code-page numbers below 256, kBeyondTable plus
// the character's number for characters the code page lacks.
std::vector<uint32_t> CharactersOf(std::string_view text) {
    std::vector<uint32_t> characters;
    bool wide = false;
    for (char c : text)
        wide = wide || uint8_t(c) >= 0x80;
    if (wide && DecodeUtf8(text, characters)) {
        for (uint32_t& c : characters)
            c = CodePageNumber(c);
        return characters;
    }
    characters.assign(text.size(), 0);
    for (size_t i = 0; i < text.size(); ++i)
        characters[i] = uint8_t(text[i]);
    return characters;
}

struct WordKey {
    std::vector<uint32_t> main;
    std::vector<uint8_t> accents;                  // one per main weight
    std::vector<bool> superscripts;                // one per main weight
    std::vector<std::pair<size_t, uint8_t>> late;  // main weights before it, weight
    std::vector<bool> capitals;                    // one per main weight
};

WordKey KeyOf(std::string_view text) {
    const CharWeights& w = Weights();
    WordKey key;
    std::vector<uint32_t> characters = CharactersOf(text);
    for (uint32_t c : characters) {
        if (c >= kBeyondTable) {
            key.main.push_back(c);
            key.accents.push_back(0);
            key.superscripts.push_back(false);
            key.capitals.push_back(false);
            continue;
        }
        uint8_t small = w.small[c];
        if (w.late[small]) {
            key.late.emplace_back(key.main.size(), w.late[small]);
            continue;
        }
        std::string_view letters(reinterpret_cast<const char*>(&small), 1);
        for (auto [letter, pair] : kDoubleLetters)
            if (uint8_t(letter) == small) letters = pair;
        if (!w.main[uint8_t(letters[0])]) continue;  // the soft hyphen
        for (char letter : letters) {
            key.main.push_back(w.main[uint8_t(letter)]);
            key.accents.push_back(w.accent[uint8_t(letter)]);
            key.superscripts.push_back(w.superscript[c]);
            key.capitals.push_back(w.capital[c]);
        }
    }
    return key;
}

template <class T>
int CompareSequences(const std::vector<T>& a, const std::vector<T>& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// The late characters: at the first difference, the one after fewer main
// weights sorts later; after as many, the lower weight first; fewer late
// characters before more.
int CompareLate(const WordKey& a, const WordKey& b) {
    for (size_t i = 0; i < a.late.size() && i < b.late.size(); ++i) {
        auto [atA, weightA] = a.late[i];
        auto [atB, weightB] = b.late[i];
        if (atA != atB) return atA < atB ? 1 : -1;
        if (weightA != weightB) return weightA < weightB ? -1 : 1;
    }
    return a.late.size() == b.late.size() ? 0 : a.late.size() < b.late.size() ? -1 : 1;
}

}  // namespace

int CompareWords(std::string_view a, std::string_view b) {
    if (a == b) return 0;
    WordKey keyA = KeyOf(a), keyB = KeyOf(b);
    if (int order = CompareSequences(keyA.main, keyB.main)) return order;
    if (int order = CompareSequences(keyA.accents, keyB.accents)) return order;
    if (int order = CompareSequences(keyA.superscripts, keyB.superscripts)) return order;
    if (int order = CompareLate(keyA, keyB)) return order;
    if (int order = CompareSequences(keyA.capitals, keyB.capitals)) return order;
    return a < b ? -1 : 1;
}

}  // namespace tallow::platform
