// Bounded little-endian reading and writing of the codec's byte layouts: a
// read never goes past the bytes it was given, it fails instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace tallow::codec {

// Reads little-endian fields from a span. Every read checks the bytes left
// first; a failed read leaves the position where it was.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }

    bool ReadU16(uint16_t& value) {
        if (Remaining() < 2) return false;
        value = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool ReadU32(uint32_t& value) {
        if (Remaining() < 4) return false;
        value = static_cast<uint32_t>(bytes_[pos_]) | static_cast<uint32_t>(bytes_[pos_ + 1]) << 8 |
                static_cast<uint32_t>(bytes_[pos_ + 2]) << 16 | static_cast<uint32_t>(bytes_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool ReadI16(int16_t& value) {
        uint16_t raw;
        if (!ReadU16(raw)) return false;
        value = static_cast<int16_t>(raw);
        return true;
    }
    bool ReadI32(int32_t& value) {
        uint32_t raw;
        if (!ReadU32(raw)) return false;
        value = static_cast<int32_t>(raw);
        return true;
    }
    // The next count bytes, or an empty span and false when fewer remain.
    bool ReadBytes(size_t count, std::span<const uint8_t>& out) {
        if (Remaining() < count) return false;
        out = bytes_.subspan(pos_, count);
        pos_ += count;
        return true;
    }
    // Moves to the next multiple of 4 from the start, if the bytes reach it.
    bool AlignTo4() {
        size_t aligned = (pos_ + 3) & ~size_t{3};
        if (aligned > bytes_.size()) return false;
        pos_ = aligned;
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

// Appends little-endian fields to a byte vector.
class ByteWriter {
public:
    void U16(uint16_t value) {
        bytes_.push_back(static_cast<uint8_t>(value));
        bytes_.push_back(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value) {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }
    void Bytes(std::span<const uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void AlignTo4() {
        while (bytes_.size() % 4 != 0)
            bytes_.push_back(0);
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace tallow::codec
