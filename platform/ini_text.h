// The text of an initialisation file (sections of key=value lines), read and
// edited by the rules the Windows profile functions apply, so that Linux
// reads and writes such files as Windows does. No system calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::platform {

// The rules:
// - Lines end in LF or CR LF. Names and values are trimmed of blanks, and
//   names of sections and keys compare without regard to ASCII case.
// - "[name]" starts a section (without "]" the rest of the line is the
//   name); a line whose first character other than a blank is ';' is a
//   comment; "key=value" is an entry (split at the first '='); any other
//   line, and any entry before the first section, is kept but ignored.
// - The first section of a name, and in it the first entry of a key, wins.
// - A value read loses one pair of matching surrounding quotes (' or ").
// - Every edit keeps the other lines byte for byte; new lines get the line
//   end of the file's first line (LF in a file that has none yet).
class IniText {
public:
    explicit IniText(std::string_view text);

    // The value of key in section, or nothing when either is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // The names of all sections, or of the keys of section, in file order:
    // each name once (as first written), empty names left out.
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // Sets key in section to value: the entry is rewritten in place, else a
    // new one follows the section's last entry, and a missing section is
    // added at the end of the text. The names and the value must pass
    // IniWritable.
    void Write(std::string_view section, std::string_view key, std::string_view value);
    // Removes every entry of key from the section where lookups find it;
    // false when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of the name, its lines up to the next section
    // with it; false when there was none.
    bool DeleteSection(std::string_view section);

    // The whole text as it stands after the edits.
    std::string Text() const;

private:
    enum class Kind { kBlank, kComment, kSection, kEntry, kOther };
    struct Line {
        std::string text;    // without its line end
        std::string ending;  // "\n", "\r\n" or "" (the last line of a text without one)
    };
    struct Parsed {
        Kind kind;
        std::string_view name;   // of a section or an entry's key, trimmed
        std::string_view value;  // of an entry, trimmed
    };

    Parsed Parse(size_t index) const;
    // The index of the first section header of the name, or npos.
    size_t FindSection(std::string_view section) const;
    // One past the last line of the section whose header is at index.
    size_t SectionEnd(size_t header) const;
    void Insert(size_t index, std::string text);
    // The line end of a line added now.
    std::string NewLine() const;

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;  // a UTF-8 mark before the first line, kept as it is
};

// Whether a write can store the names and value so that they read back and
// leave every other entry as it was: no line break anywhere, no ']' in the
// section, and a key that is not empty, holds no '=' and does not start
// like a section or a comment.
bool IniWritable(std::string_view section, std::string_view key, std::string_view value);

// A number as the profile functions read one: blanks skipped, one optional
// sign, then the decimal digits up to the first other character, wrapping
// modulo 2^32 (so -5 reads as 4294967291). No digits give 0.
uint32_t IniNumber(std::string_view text);

// The default of a string read: trailing blanks are dropped, as the profile
// functions drop them.
std::string IniDefault(std::string_view text);

}  // namespace tallow::platform
