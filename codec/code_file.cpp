// The code-file layout: a bounded reader that refuses every size that does
// not fit the bytes before allocating, and the writer of both versions.
#include "codec/code_file.h"

#include <algorithm>
#include <cstring>

#include "codec/byte_cursor.h"
#include "codec/dialog_template.h"

namespace tallow::codec {
namespace {

// The 16-byte magic compared as a NUL-terminated string: a field without a
// NUL matches neither version.
int MagicVersion(std::span<const uint8_t> field) {
    const auto* text = reinterpret_cast<const char*>(field.data());
    if (std::memchr(text, 0, field.size()) == nullptr) return -1;
    if (std::strcmp(text, kMagicVersion0) == 0) return 0;
    if (std::strcmp(text, kMagicVersion1) == 0) return 1;
    return -1;
}

// A template size (int32) and that many bytes, which must hold a whole
// template. The size is checked against the bytes left before copying.
bool ReadTemplate(ByteCursor& in, std::vector<uint8_t>& out) {
    int32_t size;
    std::span<const uint8_t> bytes;
    if (!in.ReadI32(size) || size < 0 || !in.ReadBytes(static_cast<size_t>(size), bytes)) return false;
    DialogTemplate parsed;
    if (!ReadDialogTemplate(bytes, parsed)) return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

// A version-1 dialog record: the 16-byte name field, then the template.
bool ReadDialogRecord(ByteCursor& in, CodeFileDialog& dialog) {
    std::span<const uint8_t> field;
    if (!in.ReadBytes(kDialogNameSize, field)) return false;
    std::copy(field.begin(), field.end(), reinterpret_cast<uint8_t*>(dialog.nameField.data()));
    auto nul = std::find(field.begin(), field.end(), uint8_t{0});
    dialog.name.assign(field.begin(), nul);
    return ReadTemplate(in, dialog.templateBytes);
}

// Version 0 carries one unnamed template; version 1 a count (int16) and that
// many records. The date stamp is read into the dialog stage: a file cut
// inside it ends before the dialogs it must hold.
CodeFileError ReadDialogs(ByteCursor& in, CodeFile& out, size_t* dialogsRead) {
    if (!in.ReadI16(out.year) || !in.ReadI16(out.month) || !in.ReadI16(out.day))
        return CodeFileError::DialogResource;
    if (out.version == 0) {
        CodeFileDialog dialog;
        dialog.name = kVersion0DialogName;
        dialog.nameField = NameField(kVersion0DialogName);
        if (!ReadTemplate(in, dialog.templateBytes)) return CodeFileError::DialogResource;
        out.dialogs.push_back(std::move(dialog));
        if (dialogsRead != nullptr) *dialogsRead = 1;
        return CodeFileError::None;
    }
    int16_t count;
    // A negative count cannot describe any dialogs; rather than run with none,
    // the file is refused as a broken dialog resource.
    if (!in.ReadI16(count) || count < 0) return CodeFileError::DialogResource;
    for (int16_t i = 0; i < count; ++i) {
        CodeFileDialog dialog;
        if (!ReadDialogRecord(in, dialog)) return CodeFileError::DialogResource;
        out.dialogs.push_back(std::move(dialog));
        if (dialogsRead != nullptr) *dialogsRead = out.dialogs.size();
    }
    return CodeFileError::None;
}

bool AllZero(std::span<const char> field) {
    return std::all_of(field.begin(), field.end(), [](char c) { return c == 0; });
}

void WriteField(ByteWriter& out, std::span<const char> field) {
    out.Bytes({reinterpret_cast<const uint8_t*>(field.data()), field.size()});
}

}  // namespace

std::string CodeFile::Text() const {
    return code.substr(0, code.find('\0'));
}

CodeFileError ReadCodeFile(std::span<const uint8_t> bytes, CodeFile& out, size_t* dialogsRead) {
    if (dialogsRead != nullptr) *dialogsRead = 0;
    out.dialogs.clear();
    out.code.clear();
    ByteCursor in(bytes);
    std::span<const uint8_t> magic;
    if (!in.ReadBytes(kMagicSize, magic)) return CodeFileError::InvalidType;
    int version = MagicVersion(magic);
    if (version < 0) return CodeFileError::InvalidType;
    out.version = version;
    std::copy(magic.begin(), magic.end(), reinterpret_cast<uint8_t*>(out.magicField.data()));
    if (CodeFileError error = ReadDialogs(in, out, dialogsRead); error != CodeFileError::None) return error;
    int32_t codeSize;
    std::span<const uint8_t> code;
    if (!in.ReadI32(codeSize) || codeSize < 0 || !in.ReadBytes(static_cast<size_t>(codeSize), code))
        return CodeFileError::CodeResource;
    out.code.assign(code.begin(), code.end());
    return CodeFileError::None;
}

std::vector<uint8_t> WriteCodeFile(const CodeFile& file) {
    ByteWriter out;
    WriteField(out, AllZero(file.magicField) ? MagicField(file.version) : file.magicField);
    for (int16_t value : {file.year, file.month, file.day})
        out.U16(static_cast<uint16_t>(value));
    if (file.version == 0) {
        // Version 0 has room for one template only; with none an empty one
        // is written, which no reader accepts.
        const std::vector<uint8_t> none;
        const std::vector<uint8_t>& bytes = file.dialogs.empty() ? none : file.dialogs.front().templateBytes;
        out.U32(static_cast<uint32_t>(bytes.size()));
        out.Bytes(bytes);
    } else {
        out.U16(static_cast<uint16_t>(file.dialogs.size()));
        for (const CodeFileDialog& dialog : file.dialogs) {
            WriteField(out, AllZero(dialog.nameField) ? NameField(dialog.name) : dialog.nameField);
            out.U32(static_cast<uint32_t>(dialog.templateBytes.size()));
            out.Bytes(dialog.templateBytes);
        }
    }
    out.U32(static_cast<uint32_t>(file.code.size()));
    out.Bytes({reinterpret_cast<const uint8_t*>(file.code.data()), file.code.size()});
    return out.Take();
}

std::array<char, kMagicSize> MagicField(int version) {
    std::array<char, kMagicSize> field{};
    const char* magic = version == 0 ? kMagicVersion0 : kMagicVersion1;
    std::memcpy(field.data(), magic, std::strlen(magic));
    return field;
}

std::array<char, kDialogNameSize> NameField(std::string_view name) {
    std::array<char, kDialogNameSize> field{};
    std::copy_n(name.begin(), std::min(name.size(), kDialogNameSize - 1), field.begin());
    return field;
}

}  // namespace tallow::codec
