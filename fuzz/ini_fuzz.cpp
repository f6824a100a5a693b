// Fuzz target: initialisation files. The input is a file's text, a NUL, then
// edits as NUL-separated fields (an operation byte, a section, a key, a
// value). Checked: the text reads back byte for byte; each edit does what it
// says (a written value reads back, a deleted key or section is gone) and
// leaves every other entry as it was; the edited text reads again as the
// edited model; and the profile functions, which read, edit and replace a
// real file, give that file exactly the model's text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unistd.h>

#include "platform/ini_text.h"
#include "platform/profile.h"

namespace {

using tallow::platform::IniText;

// Edits applied to one input at most: each rewrites the file.
constexpr size_t kMaxEdits = 16;

void Check(bool ok) {
    if (!ok) std::abort();
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

std::string_view Trim(std::string_view s) {
    constexpr std::string_view kBlanks = " \t\r\v\f";
    size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// Names as the file compares them: trimmed, ASCII case folded.
std::string Key(std::string_view name) {
    std::string key(Trim(name));
    for (char& c : key)
        c = Fold(c);
    return key;
}

// What a value written reads back as: trimmed, one pair of matching quotes
// taken off.
std::string ReadBack(std::string_view value) {
    std::string_view v = Trim(value);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

using Entries = std::map<std::pair<std::string, std::string>, std::string>;

// Every entry that lookups find: section and key folded, with its value.
Entries AllEntries(const IniText& ini) {
    Entries entries;
    for (const std::string& section : ini.SectionNames())
        for (const std::string& key : ini.KeyNames(section)) {
            std::optional<std::string> value = ini.Value(section, key);
            Check(value.has_value());
            entries[{Key(section), Key(key)}] = *value;
        }
    return entries;
}

// The private folder of the profile files, on a memory file system where
// there is one: every edit syncs its file.
const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path base =
            std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::filesystem::path path = base / ("tallow-ini-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return path;
    }();
    return folder;
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t textEnd = input.find('\0');
    std::string_view text = input.substr(0, textEnd);
    IniText ini(text);
    Check(ini.Text() == text);

    std::filesystem::path file = Folder() / "f.ini";
    { std::ofstream(file, std::ios::binary | std::ios::trunc) << text; }
    const std::string path = file.string();

    std::vector<std::string_view> fields;
    for (size_t at = textEnd; at != std::string_view::npos && at < input.size();) {
        size_t next = input.find('\0', at + 1);
        fields.push_back(input.substr(at + 1, next == std::string_view::npos ? next : next - at - 1));
        at = next;
    }
    for (size_t i = 0, edits = 0; i + 3 < fields.size() && edits < kMaxEdits; i += 4, ++edits) {
        if (fields[i].empty()) continue;
        // "w" write, "d" delete a key, "s" delete a section; other bytes
        // modulo three.
        size_t letter = std::string_view("wds").find(fields[i][0]);
        unsigned op =
            letter != std::string_view::npos ? unsigned(letter) : unsigned(uint8_t(fields[i][0])) % 3;
        std::string section(fields[i + 1]), key(fields[i + 2]), value(fields[i + 3]);
        Entries before = AllEntries(ini);
        // Lookups list no empty names, so entries under them are not compared.
        std::pair<std::string, std::string> touched{Key(section), Key(key)};
        bool listed = !touched.first.empty() && !touched.second.empty();
        if (op == 0) {
            if (!tallow::platform::IniWritable(section, key, value)) continue;
            ini.Write(section, key, value);
            Check(ini.Value(section, key) == ReadBack(value));
            if (listed) before[touched] = ReadBack(value);
            Check(tallow::platform::WriteProfileEntry(path, section, &key, &value));
        } else if (op == 1) {
            bool had = before.erase(touched) > 0;
            bool deleted = ini.DeleteKey(section, key);
            Check(!listed || deleted == had);
            Check(!ini.Value(section, key));
            Check(tallow::platform::WriteProfileEntry(path, section, &key, nullptr));
        } else {
            for (auto it = before.begin(); it != before.end();)
                it = it->first.first == touched.first ? before.erase(it) : std::next(it);
            ini.DeleteSection(section);
            for (const std::string& name : ini.SectionNames())
                Check(Key(name) != touched.first);
            Check(tallow::platform::WriteProfileEntry(path, section, nullptr, nullptr));
        }
        // Sections whose only key went may still stand empty: compare the
        // entries, which is what lookups see.
        Check(AllEntries(ini) == before);
        Check(AllEntries(IniText(ini.Text())) == before);
        Check(Slurp(file) == ini.Text());
        Check(tallow::platform::ReadProfileString(path, section, key, "\x01") ==
              ini.Value(section, key).value_or("\x01"));
    }
    return 0;
}
