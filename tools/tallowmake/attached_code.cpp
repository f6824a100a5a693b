// The attachment format shared by tallowmake, which writes it, and the
// stub program, which reads it back from its own file.
#include "tools/tallowmake/attached_code.h"

#include <algorithm>

namespace tallow::make {

namespace {

constexpr std::array<uint8_t, 8> kTrailerMagic = {'T', 'l', 'w', 'C', 'o', 'd', 'e', '1'};

// The start mark, stored backwards: the forward bytes must not appear in
// the stub, or a scan of a cut program would find the stub's own copy.
constexpr char kStartMarkBackwards[] = "\x1a\n\r?edoc wollaT\x01";
static_assert(sizeof kStartMarkBackwards == kStartMarkSize + 1);

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t GetU32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

}  // namespace

std::array<uint8_t, kStartMarkSize> StartMark() {
    std::array<uint8_t, kStartMarkSize> mark{};
    for (size_t i = 0; i < kStartMarkSize; ++i)
        mark[i] = static_cast<uint8_t>(kStartMarkBackwards[kStartMarkSize - 1 - i]);
    return mark;
}

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xffffffffu;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<uint8_t> AttachmentBytes(std::span<const uint8_t> code) {
    std::array<uint8_t, kStartMarkSize> mark = StartMark();
    // Sized at once and copied into place (growing by insert makes g++ 12
    // warn of a bound it imagines).
    std::vector<uint8_t> out(kStartMarkSize + code.size());
    std::copy(mark.begin(), mark.end(), out.begin());
    std::copy(code.begin(), code.end(), out.begin() + kStartMarkSize);
    PutU32(out, static_cast<uint32_t>(code.size()));
    PutU32(out, Crc32(code));
    for (uint8_t byte : kTrailerMagic)
        out.push_back(byte);
    return out;
}

bool ReadTrailer(std::span<const uint8_t> tail, Trailer& out) {
    if (tail.size() < kTrailerSize) return false;
    const uint8_t* trailer = tail.data() + tail.size() - kTrailerSize;
    if (!std::equal(kTrailerMagic.begin(), kTrailerMagic.end(), trailer + 8)) return false;
    out.length = GetU32(trailer);
    out.crc = GetU32(trailer + 4);
    return true;
}

size_t FindStartMark(std::span<const uint8_t> bytes) {
    std::array<uint8_t, kStartMarkSize> mark = StartMark();
    auto found = std::find_end(bytes.begin(), bytes.end(), mark.begin(), mark.end());
    return found == bytes.end() ? size_t(-1) : static_cast<size_t>(found - bytes.begin());
}

AttachError FindAttachedCode(std::span<const uint8_t> program, std::vector<uint8_t>& code) {
    Trailer trailer;
    if (!ReadTrailer(program, trailer))
        return FindStartMark(program) == size_t(-1) ? AttachError::NoAttachment : AttachError::TrailerMissing;
    uint64_t needed = uint64_t(trailer.length) + kStartMarkSize + kTrailerSize;
    if (needed > program.size()) return AttachError::TrailerDamaged;
    size_t codeEnd = program.size() - kTrailerSize;
    size_t codeStart = codeEnd - trailer.length;
    std::array<uint8_t, kStartMarkSize> mark = StartMark();
    if (!std::equal(mark.begin(), mark.end(), program.begin() + (codeStart - kStartMarkSize)))
        return AttachError::TrailerDamaged;
    std::span<const uint8_t> attached = program.subspan(codeStart, trailer.length);
    if (Crc32(attached) != trailer.crc) return AttachError::Checksum;
    code.assign(attached.begin(), attached.end());
    return AttachError::None;
}

std::string AttachErrorText(AttachError error) {
    switch (error) {
        case AttachError::None:
            break;
        case AttachError::NoAttachment:
            return "no code file is attached to this program (tallowmake attaches one)";
        case AttachError::TrailerMissing:
            return "the program file is cut short: the trailer after its code file is missing";
        case AttachError::TrailerDamaged:
            return "the trailer after the attached code file is damaged: its length does not match the file";
        case AttachError::Checksum:
            return "the attached code file was altered: its checksum does not match the trailer";
    }
    return std::string();
}

std::string CodeFileErrorText(codec::CodeFileError error, size_t dialogsRead) {
    switch (error) {
        case codec::CodeFileError::None:
            break;
        case codec::CodeFileError::InvalidType:
            return "is not a code file: it does not start with the code-file header (TALLOW or TALLOW1)";
        case codec::CodeFileError::DialogResource:
            return "is damaged: dialog " + std::to_string(dialogsRead + 1) +
                   " (its name, size or template) is cut short or malformed";
        case codec::CodeFileError::CodeResource:
            return "is damaged: its script text is cut short or its size is wrong";
    }
    return std::string();
}

}  // namespace tallow::make
