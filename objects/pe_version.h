// Reads the fixed file version from the version resource of a Windows
// program file (a PE image: .exe, .dll, .tlx), so that getfileversion works
// where the system has no version API. Every structure is checked against
// the image's size before it is read: a damaged or hostile file gives no
// version, never a read outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/file_version.h"

namespace tallow {

// Bytes of an image by offset.
class ImageSource {
public:
    virtual ~ImageSource() = default;
    virtual uint64_t Size() const = 0;
    // Exactly size bytes at offset; false when they are not all there.
    virtual bool Read(uint64_t offset, void* out, size_t size) = 0;
};

// An image held in memory.
class MemorySource : public ImageSource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, void* out, size_t size) override;

private:
    std::span<const uint8_t> bytes_;
};

// The largest version resource read: real ones hold a few kilobytes.
constexpr uint32_t kMaxVersionResource = 1u << 20;

// The fixed file version of the image's version resource (the resource of
// type 16 with the name 1, or else the first name, in its first language).
// False when the image is no PE file, has no such resource, or any part of
// the way there lies outside the image.
bool FindPeFileVersion(ImageSource& image, platform::FileVersion& version);

}  // namespace tallow
