// The way from a PE image's headers through its resource directory to the
// fixed part of its version resource. Offsets in the headers are file
// offsets; those of the resource tree are relative addresses, mapped to the
// file through the section table.
#include "objects/pe_version.h"

#include <cstring>
#include <vector>

namespace tallow {

namespace {

constexpr uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kDosHeaderSize = 64;
constexpr uint32_t kNewHeaderOffsetAt = 0x3C;  // where the DOS header keeps the PE header's offset
constexpr uint32_t kCoffHeaderSize = 20;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kResourceDirectory = 2;  // index in the optional header's data directories
constexpr uint32_t kResourceTypeVersion = 16;
constexpr uint32_t kVersionInfoName = 1;
constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000;  // a named entry (in ids), a subdirectory (in offsets)
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kFixedInfoSize = 52;
// VS_VERSIONINFO: three 16-bit fields, the UTF-16 key, padding to 32 bits,
// then the fixed information.
constexpr char kVersionInfoKey[] = "VS_VERSION_INFO";
constexpr uint32_t kKeyOffset = 6;
constexpr uint32_t kFixedInfoOffset = (kKeyOffset + 2 * sizeof kVersionInfoKey + 3) & ~3u;

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct Section {
    uint32_t virtualAddress;
    uint32_t mappedSize;  // bytes of the section that the file holds
    uint32_t rawOffset;
};

class PeImage {
public:
    explicit PeImage(ImageSource& source) : source_(source) {}

    // Reads the headers and section table; false for anything but a PE image
    // with a resource directory. resourceRva is the directory's address.
    bool ReadHeaders(uint32_t& resourceRva);
    // size bytes at the relative address rva, all within one section's data
    // in the file.
    bool ReadRva(uint64_t rva, std::vector<uint8_t>& out, uint32_t size);

private:
    bool ReadSections(uint64_t offset, uint16_t count);

    ImageSource& source_;
    std::vector<Section> sections_;
};

bool PeImage::ReadHeaders(uint32_t& resourceRva) {
    uint8_t dos[kDosHeaderSize];
    if (!source_.Read(0, dos, sizeof dos) || U16(dos) != kDosMagic) return false;
    uint64_t pe = U32(dos + kNewHeaderOffsetAt);
    uint8_t coff[4 + kCoffHeaderSize];
    if (!source_.Read(pe, coff, sizeof coff) || U32(coff) != kPeSignature) return false;
    uint16_t sectionCount = U16(coff + 4 + 2);
    uint16_t optionalSize = U16(coff + 4 + 16);
    std::vector<uint8_t> optional(optionalSize);
    if (optionalSize < 2 || !source_.Read(pe + sizeof coff, optional.data(), optionalSize)) return false;
    // The count of data directories stands just before them, at an offset
    // that differs between the 32- and 64-bit optional headers.
    uint16_t magic = U16(optional.data());
    if (magic != kPe32Magic && magic != kPe32PlusMagic) return false;
    uint32_t countAt = magic == kPe32Magic ? 92 : 108, directoriesAt = countAt + 4;
    uint32_t entryAt = directoriesAt + kResourceDirectory * 8;
    if (entryAt + 8 > optionalSize || U32(&optional[countAt]) <= kResourceDirectory) return false;
    resourceRva = U32(&optional[entryAt]);
    if (resourceRva == 0 || U32(&optional[entryAt + 4]) == 0) return false;
    return ReadSections(pe + sizeof coff + optionalSize, sectionCount);
}

bool PeImage::ReadSections(uint64_t offset, uint16_t count) {
    // Sizes are checked against the image before anything is allocated.
    uint64_t size = uint64_t(count) * kSectionHeaderSize;
    if (size > source_.Size()) return false;
    std::vector<uint8_t> table(size);
    if (!source_.Read(offset, table.data(), table.size())) return false;
    sections_.clear();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* s = &table[i * kSectionHeaderSize];
        uint32_t virtualSize = U32(s + 8), rawSize = U32(s + 16);
        // Bytes past the virtual size are not part of the loaded section;
        // some linkers leave the virtual size 0 and mean the raw size.
        uint32_t mapped = virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
        sections_.push_back({U32(s + 12), mapped, U32(s + 20)});
    }
    return true;
}

bool PeImage::ReadRva(uint64_t rva, std::vector<uint8_t>& out, uint32_t size) {
    for (const Section& s : sections_) {
        if (rva < s.virtualAddress || rva - s.virtualAddress >= s.mappedSize) continue;
        uint64_t inside = rva - s.virtualAddress;
        if (size > s.mappedSize - inside || size > source_.Size()) return false;
        out.resize(size);
        return source_.Read(uint64_t(s.rawOffset) + inside, out.data(), size);
    }
    return false;
}

// Walks the three levels of the resource tree (type, name, language).
class ResourceTree {
public:
    ResourceTree(PeImage& image, uint32_t rootRva) : image_(image), root_(rootRva) {}

    // The address and size of the data of the resource of type, with the
    // preferred name or else the first name, in its first language.
    bool Find(uint32_t type, uint32_t preferredName, uint32_t& dataRva, uint32_t& dataSize);

private:
    // The offset field of the directory's entry with id (the first entry
    // when id is not there and anyId is set).
    bool Entry(uint32_t directory, uint32_t id, bool anyId, uint32_t& target);
    // Only subdirectories lead further down, only data entries end the way.
    static bool Subdirectory(uint32_t target, uint32_t& offset) {
        offset = target & ~kHighBit;
        return (target & kHighBit) != 0;
    }

    PeImage& image_;
    uint32_t root_;
    std::vector<uint8_t> buffer_;
};

bool ResourceTree::Entry(uint32_t directory, uint32_t id, bool anyId, uint32_t& target) {
    if (!image_.ReadRva(uint64_t(root_) + directory, buffer_, kDirectoryHeaderSize)) return false;
    uint32_t named = U16(&buffer_[12]), ids = U16(&buffer_[14]);
    if (named + ids == 0) return false;
    uint64_t entries = uint64_t(root_) + directory + kDirectoryHeaderSize;
    if (!image_.ReadRva(entries, buffer_, (named + ids) * kDirectoryEntrySize)) return false;
    for (uint32_t i = named; i < named + ids; ++i) {
        const uint8_t* e = &buffer_[i * kDirectoryEntrySize];
        if (U32(e) == id) {
            target = U32(e + 4);
            return true;
        }
    }
    if (!anyId) return false;
    target = U32(&buffer_[4]);
    return true;
}

bool ResourceTree::Find(uint32_t type, uint32_t preferredName, uint32_t& dataRva, uint32_t& dataSize) {
    uint32_t target, names, languages, data;
    if (!Entry(0, type, false, target) || !Subdirectory(target, names)) return false;
    if (!Entry(names, preferredName, true, target) || !Subdirectory(target, languages)) return false;
    if (!Entry(languages, 0, true, target) || Subdirectory(target, data)) return false;
    if (!image_.ReadRva(uint64_t(root_) + data, buffer_, kDataEntrySize)) return false;
    dataRva = U32(&buffer_[0]);
    dataSize = U32(&buffer_[4]);
    return true;
}

// The fixed information of a VS_VERSIONINFO block.
bool ReadFixedInfo(const std::vector<uint8_t>& block, platform::FileVersion& version) {
    if (block.size() < kFixedInfoOffset + kFixedInfoSize) return false;
    if (U16(&block[0]) < kFixedInfoOffset + kFixedInfoSize || U16(&block[2]) < kFixedInfoSize) return false;
    for (size_t i = 0; i < sizeof kVersionInfoKey; ++i)
        if (U16(&block[kKeyOffset + 2 * i]) != uint8_t(kVersionInfoKey[i])) return false;
    const uint8_t* fixed = &block[kFixedInfoOffset];
    if (U32(fixed) != kFixedInfoSignature) return false;
    version.mostSignificant = U32(fixed + 8);
    version.leastSignificant = U32(fixed + 12);
    return true;
}

}  // namespace

bool MemorySource::Read(uint64_t offset, void* out, size_t size) {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
    if (size != 0) std::memcpy(out, bytes_.data() + offset, size);
    return true;
}

bool FindPeFileVersion(ImageSource& source, platform::FileVersion& version) {
    PeImage image(source);
    uint32_t resourceRva, dataRva, dataSize;
    if (!image.ReadHeaders(resourceRva)) return false;
    ResourceTree tree(image, resourceRva);
    if (!tree.Find(kResourceTypeVersion, kVersionInfoName, dataRva, dataSize)) return false;
    if (dataSize > kMaxVersionResource) return false;
    std::vector<uint8_t> block;
    return image.ReadRva(dataRva, block, dataSize) && ReadFixedInfo(block, version);
}

}  // namespace tallow
