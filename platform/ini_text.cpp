// Initialisation-file text: lines classified on demand, edits that touch only
// the lines they concern.
#include "ini_text.h"

namespace tallow::platform {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kNone = std::string::npos;

std::string_view Trim(std::string_view s) {
    size_t first = s.find_first_not_of(kBlanks);
    if (first == kNone) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

// Names compare trimmed and without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != kNone;
}

// Appends name unless an equal one is in names already.
void AddOnce(std::vector<std::string>& names, std::string_view name) {
    if (name.empty()) return;
    for (const std::string& n : names)
        if (SameName(n, name)) return;
    names.emplace_back(name);
}

}  // namespace

IniText::IniText(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == kNone) {
            lines_.push_back({std::string(text.substr(start)), ""});
            break;
        }
        bool crlf = end > start && text[end - 1] == '\r';
        size_t textEnd = crlf ? end - 1 : end;
        lines_.push_back({std::string(text.substr(start, textEnd - start)), crlf ? "\r\n" : "\n"});
        start = end + 1;
    }
}

// New lines end as the text's first line does now, so that an edited text
// adds lines as a fresh read of it would: a text whose lines all went has no
// line end left to follow, and a first line that kept a CR of its own before
// the LF it was given reads as ending in CR LF.
std::string IniText::NewLine() const {
    if (lines_.empty() || lines_.front().ending.empty()) return "\n";
    const Line& first = lines_.front();
    if (first.ending == "\n" && !first.text.empty() && first.text.back() == '\r') return "\r\n";
    return first.ending;
}

IniText::Parsed IniText::Parse(size_t index) const {
    std::string_view line = Trim(lines_[index].text);
    if (line.empty()) return {Kind::kBlank, {}, {}};
    if (line.front() == ';') return {Kind::kComment, {}, {}};
    if (line.front() == '[') {
        std::string_view name = line.substr(1);
        return {Kind::kSection, Trim(name.substr(0, name.find(']'))), {}};
    }
    size_t equals = line.find('=');
    if (equals == kNone) return {Kind::kOther, {}, {}};
    return {Kind::kEntry, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

size_t IniText::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        Parsed p = Parse(i);
        if (p.kind == Kind::kSection && SameName(p.name, section)) return i;
    }
    return kNone;
}

size_t IniText::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && Parse(i).kind != Kind::kSection)
        ++i;
    return i;
}

std::optional<std::string> IniText::Value(std::string_view section, std::string_view key) const {
    size_t header = FindSection(section);
    if (header == kNone) return std::nullopt;
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
        Parsed p = Parse(i);
        if (p.kind != Kind::kEntry || !SameName(p.name, key)) continue;
        std::string_view v = p.value;
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        return std::string(v);
    }
    return std::nullopt;
}

std::vector<std::string> IniText::SectionNames() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < lines_.size(); ++i) {
        Parsed p = Parse(i);
        if (p.kind == Kind::kSection) AddOnce(names, p.name);
    }
    return names;
}

std::vector<std::string> IniText::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    size_t header = FindSection(section);
    if (header == kNone) return names;
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
        Parsed p = Parse(i);
        if (p.kind == Kind::kEntry) AddOnce(names, p.name);
    }
    return names;
}

// A line inserted after the last line of a text without a final line end
// gives that line one first.
void IniText::Insert(size_t index, std::string text) {
    if (index > 0 && lines_[index - 1].ending.empty()) lines_[index - 1].ending = NewLine();
    lines_.insert(lines_.begin() + std::ptrdiff_t(index), Line{std::move(text), NewLine()});
}

void IniText::Write(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry = std::string(Trim(key)) + "=" + std::string(value);
    size_t header = FindSection(section);
    if (header == kNone) {
        Insert(lines_.size(), "[" + std::string(Trim(section)) + "]");
        Insert(lines_.size(), std::move(entry));
        return;
    }
    size_t after = header + 1;
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
        Parsed p = Parse(i);
        if (p.kind != Kind::kEntry) continue;
        if (SameName(p.name, key)) {
            // The key keeps the spelling the file gave it.
            lines_[i].text = std::string(p.name) + "=" + std::string(value);
            return;
        }
        after = i + 1;
    }
    Insert(after, std::move(entry));
}

bool IniText::DeleteKey(std::string_view section, std::string_view key) {
    size_t header = FindSection(section);
    if (header == kNone) return false;
    bool deleted = false;
    for (size_t i = header + 1, end = SectionEnd(header); i < end;) {
        Parsed p = Parse(i);
        if (p.kind == Kind::kEntry && SameName(p.name, key)) {
            lines_.erase(lines_.begin() + std::ptrdiff_t(i));
            --end;
            deleted = true;
        } else {
            ++i;
        }
    }
    return deleted;
}

bool IniText::DeleteSection(std::string_view section) {
    bool deleted = false;
    for (size_t header; (header = FindSection(section)) != kNone;) {
        lines_.erase(lines_.begin() + std::ptrdiff_t(header),
                     lines_.begin() + std::ptrdiff_t(SectionEnd(header)));
        deleted = true;
    }
    return deleted;
}

std::string IniText::Text() const {
    std::string text(byteOrderMark_ ? kByteOrderMark : std::string_view());
    for (const Line& line : lines_)
        text.append(line.text).append(line.ending);
    return text;
}

bool IniWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    std::string_view k = Trim(key);
    return section.find(']') == kNone && !k.empty() && k.find('=') == kNone && k.front() != '[' &&
           k.front() != ';';
}

uint32_t IniNumber(std::string_view text) {
    size_t i = text.find_first_not_of(kBlanks);
    if (i == kNone) return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    uint32_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = n * 10u + uint32_t(text[i] - '0');
    return negative ? 0u - n : n;
}

std::string IniDefault(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return std::string(end == kNone ? std::string_view() : text.substr(0, end + 1));
}

}  // namespace tallow::platform
