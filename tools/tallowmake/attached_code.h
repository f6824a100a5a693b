// A code file attached to a program: the program's own bytes, a start mark,
// the code file, and a trailer (code length, CRC-32 of the code, magic) at
// the very end, where the program finds it by reading its own file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/code_file.h"

namespace tallow::make {

constexpr size_t kStartMarkSize = 16;
constexpr size_t kTrailerSize = 16;  // length (4), CRC-32 (4), magic (8)
// The largest code file attached: the length field holds 32 bits, and the
// engine reads no larger code file anyway.
constexpr uint64_t kMaxAttachedSize = 0x7fffffffu;

// The 16 bytes before the code file. Built at run time, so that the bytes
// never stand in a program that merely contains this code: a scan for them
// finds only an attachment.
std::array<uint8_t, kStartMarkSize> StartMark();

// CRC-32 (the polynomial of zip and PNG) of bytes.
uint32_t Crc32(std::span<const uint8_t> bytes);

// What follows the program's own bytes for code: start mark, code, trailer.
std::vector<uint8_t> AttachmentBytes(std::span<const uint8_t> code);

// Why no code file could be taken from a program's bytes.
enum class AttachError {
    None,
    NoAttachment,    // neither trailer nor start mark: a bare program
    TrailerMissing,  // a start mark but no trailer: the file was cut short
    TrailerDamaged,  // the trailer's length points outside the file or not at a start mark
    Checksum,        // the code's CRC-32 differs from the trailer's
};

// The last kTrailerSize bytes, decoded; false when the magic is not there.
struct Trailer {
    uint32_t length = 0;
    uint32_t crc = 0;
};
bool ReadTrailer(std::span<const uint8_t> tail, Trailer& out);

// Where the start mark of a cut file lies: the offset of its last
// occurrence in bytes, or npos.
size_t FindStartMark(std::span<const uint8_t> bytes);

// Takes the attached code out of a program's whole bytes.
AttachError FindAttachedCode(std::span<const uint8_t> program, std::vector<uint8_t>& code);

// A sentence on the error, for a message after the program's name.
std::string AttachErrorText(AttachError error);

// What is wrong with a code file that the codec refused, as a phrase:
// "not a code file ...", or which part is damaged. dialogsRead is the
// count of dialogs read whole before the failure.
std::string CodeFileErrorText(codec::CodeFileError error, size_t dialogsRead);

}  // namespace tallow::make
