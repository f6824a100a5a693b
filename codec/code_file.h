// The code-file layout (".cod"): a magic, a date stamp, named dialog
// templates and the script text. One reader and one writer for the runner,
// the development environment and the tools.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tallow::codec {

constexpr size_t kMagicSize = 16;
constexpr size_t kDialogNameSize = 16;  // at most 15 characters and a NUL
constexpr const char* kMagicVersion0 = "TALLOW";
constexpr const char* kMagicVersion1 = "TALLOW1";
constexpr const char* kVersion0DialogName = "dialog";

struct CodeFileDialog {
    std::string name;  // up to the NUL of the name field
    // The whole 16-byte name field as stored: the bytes after the NUL carry
    // no meaning but are kept so that a file is written back unchanged.
    std::array<char, kDialogNameSize> nameField{};
    std::vector<uint8_t> templateBytes;
};

struct CodeFile {
    int version = 1;                            // 0 ("TALLOW") or 1 ("TALLOW1")
    std::array<char, kMagicSize> magicField{};  // as stored (bytes after the NUL kept)
    int16_t year = 0, month = 0, day = 0;       // the date stamp; read, never used
    std::vector<CodeFileDialog> dialogs;        // version 0: exactly one, named "dialog"
    std::string code;                           // the s bytes of the text, its NUL included
    // The text the script runs: code up to its first NUL.
    std::string Text() const;
};

// Where reading stopped, in the order the runner reports it.
enum class CodeFileError {
    None,
    InvalidType,     // the magic is neither "TALLOW" nor "TALLOW1" (or the file is shorter than it)
    DialogResource,  // a dialog record or template is cut short, negative or malformed
    CodeResource,    // the code size is negative or runs past the end of the file
};

// Reads a whole code file from bytes. Every size is checked against the
// bytes that remain before anything is allocated, and every template is
// checked with ReadDialogTemplate. On failure, dialogsRead tells how many
// dialogs were complete before the one that failed (the runner has created
// objects for them).
CodeFileError ReadCodeFile(std::span<const uint8_t> bytes, CodeFile& out, size_t* dialogsRead = nullptr);

// The bytes of a code file in the file's version (version 1 for new files):
// magicField and nameField are written as stored; when they are all zero
// the magic or the name is filled in from version and name.
std::vector<uint8_t> WriteCodeFile(const CodeFile& file);

// The stored forms of a version's magic and of a dialog name (truncated to
// 15 characters), zero-filled after the NUL.
std::array<char, kMagicSize> MagicField(int version);
std::array<char, kDialogNameSize> NameField(std::string_view name);

}  // namespace tallow::codec
