// Reading the reference's search index and looking a keyword up in it.
#include "ide/model/help_index.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "ide/model/recent_files.h"

namespace tallow::ide {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A reader of the JSON the index holds: strings, numbers, literals, arrays
// and objects, of which only the objects' string fields are kept.
class IndexReader {
public:
    explicit IndexReader(std::string_view text) : text_(text) {}

    // Reads the array after the first "[" into entries; false on malformed text.
    bool ReadEntries(std::vector<HelpEntry>& entries) {
        at_ = text_.find('[');
        if (at_ == std::string_view::npos) return false;
        ++at_;
        for (;;) {
            SkipBlanks();
            if (Peek() == ']') return true;
            HelpEntry entry;
            if (!ReadObject(entry)) return false;
            if (!entry.name.empty() && !entry.url.empty()) entries.push_back(std::move(entry));
            SkipBlanks();
            if (Peek() == ',') ++at_;
        }
    }

private:
    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
    void SkipBlanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
            ++at_;
    }

    std::optional<std::string> ReadString() {
        if (Peek() != '"') return std::nullopt;
        std::string out;
        for (++at_; at_ < text_.size(); ++at_) {
            char c = text_[at_];
            if (c == '"') {
                ++at_;
                return out;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++at_ >= text_.size()) return std::nullopt;
            char e = text_[at_];
            if (e == 'u') {
                // \uXXXX: kept as one byte where it fits, else a question mark.
                if (at_ + 4 >= text_.size()) return std::nullopt;
                unsigned code = 0;
                for (char h : text_.substr(at_ + 1, 4)) {
                    if (!std::isxdigit(static_cast<unsigned char>(h))) return std::nullopt;
                    code = code * 16 +
                           (std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (h | 0x20) - 'a' + 10);
                }
                out += code < 256 ? static_cast<char>(code) : '?';
                at_ += 4;
            } else {
                out += e == 'n'   ? '\n'
                       : e == 't' ? '\t'
                       : e == 'r' ? '\r'
                       : e == 'b' ? '\b'
                       : e == 'f' ? '\f'
                                  : e;
            }
        }
        return std::nullopt;
    }

    // Any value; strings are returned, the rest skipped.
    bool SkipValue() {
        SkipBlanks();
        char c = Peek();
        if (c == '"') return ReadString().has_value();
        if (c == '{' || c == '[') {
            char close = c == '{' ? '}' : ']';
            ++at_;
            for (;;) {
                SkipBlanks();
                if (Peek() == close) {
                    ++at_;
                    return true;
                }
                if (Peek() == '\0') return false;
                if (Peek() == ',' || Peek() == ':') {
                    ++at_;
                    continue;
                }
                if (!SkipValue()) return false;
            }
        }
        size_t start = at_;
        while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) ||
                                      text_[at_] == '-' || text_[at_] == '+' || text_[at_] == '.'))
            ++at_;
        return at_ > start;
    }

    bool ReadObject(HelpEntry& entry) {
        if (Peek() != '{') return false;
        ++at_;
        for (;;) {
            SkipBlanks();
            if (Peek() == '}') {
                ++at_;
                return true;
            }
            std::optional<std::string> key = ReadString();
            SkipBlanks();
            if (!key || Peek() != ':') return false;
            ++at_;
            SkipBlanks();
            std::string* field = *key == "name"   ? &entry.name
                                 : *key == "url"  ? &entry.url
                                 : *key == "kind" ? &entry.kind
                                 : *key == "text" ? &entry.text
                                                  : nullptr;
            if (field && Peek() == '"') {
                std::optional<std::string> value = ReadString();
                if (!value) return false;
                *field = std::move(*value);
            } else if (!SkipValue()) {
                return false;
            }
            SkipBlanks();
            if (Peek() == ',') ++at_;
        }
    }

    std::string_view text_;
    size_t at_ = 0;
};

}  // namespace

std::vector<HelpEntry> ParseHelpIndex(std::string_view text) {
    std::vector<HelpEntry> entries;
    IndexReader(text).ReadEntries(entries);
    return entries;
}

HelpMatches FindHelpEntries(const std::vector<HelpEntry>& index, std::string_view key, size_t limit) {
    HelpMatches matches;
    if (key.empty()) return matches;
    for (const HelpEntry& entry : index)
        if (EqualNoCase(entry.name, key) && matches.entries.size() < limit) matches.entries.push_back(entry);
    if (!matches.entries.empty()) {
        matches.exact = true;
        return matches;
    }
    std::string lowerKey = Lower(key);
    std::vector<HelpEntry> starting, containing;
    for (const HelpEntry& entry : index) {
        size_t at = Lower(entry.name).find(lowerKey);
        if (at == 0)
            starting.push_back(entry);
        else if (at != std::string::npos)
            containing.push_back(entry);
    }
    for (auto* list : {&starting, &containing})
        for (HelpEntry& entry : *list)
            if (matches.entries.size() < limit) matches.entries.push_back(std::move(entry));
    return matches;
}

std::string PageOfUrl(std::string_view url) {
    return std::string(url.substr(0, url.find('#')));
}

}  // namespace tallow::ide
