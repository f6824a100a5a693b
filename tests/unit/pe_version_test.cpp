// The PE reader behind getfileversion: a small image built here with a
// version resource, the same image damaged in every way a hostile file
// might be, and the version resource of our own TallowCore.dll when the
// win32 build is at hand.
#include "objects/pe_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/program.h"
#include "expr/num_array.h"
#include "platform/file_version.h"

#if defined(_WIN32)
#include <windows.h>

#else
#include <unistd.h>
#endif

namespace tallow {
namespace {

// Where the built image keeps its parts (file offsets). The resource
// section starts at kRsrcFile in the file and at kRsrcRva in memory.
constexpr uint32_t kPeHeader = 0x80;
constexpr uint32_t kOptionalHeader = kPeHeader + 24;
constexpr uint32_t kRsrcFile = 0x200;
constexpr uint32_t kRsrcRva = 0x1000;
constexpr uint32_t kTypeDir = kRsrcFile;         // type 16 (room for three more entries)
constexpr uint32_t kNameDir = kRsrcFile + 0x30;  // one entry: name 1
constexpr uint32_t kLangDir = kRsrcFile + 0x48;  // one entry: language 0x409
constexpr uint32_t kDataEntry = kRsrcFile + 0x60;
constexpr uint32_t kVersionInfo = kRsrcFile + 0x70;
constexpr uint32_t kVersionInfoSize = 92;

class Image {
public:
    explicit Image(bool pe32plus = false) : bytes(kVersionInfo + kVersionInfoSize) {
        uint16_t optionalSize = pe32plus ? 240 : 224;
        Put16(0, 0x5A4D);
        Put32(0x3C, kPeHeader);
        Put32(kPeHeader, 0x00004550);
        Put16(kPeHeader + 4, pe32plus ? 0x8664 : 0x14C);
        Put16(kPeHeader + 6, 1);  // sections
        Put16(kPeHeader + 20, optionalSize);
        Put16(kOptionalHeader, pe32plus ? 0x20B : 0x10B);
        uint32_t directories = kOptionalHeader + (pe32plus ? 112 : 96);
        Put32(directories - 4, 16);
        Put32(directories + 2 * 8, kRsrcRva);
        Put32(directories + 2 * 8 + 4, RsrcSize());
        sectionHeader = kOptionalHeader + optionalSize;
        std::memcpy(&bytes[sectionHeader], ".rsrc", 5);
        Put32(sectionHeader + 8, RsrcSize());
        Put32(sectionHeader + 12, kRsrcRva);
        Put32(sectionHeader + 16, RsrcSize());
        Put32(sectionHeader + 20, kRsrcFile);
        Directory(kTypeDir, 16, kNameDir, true);
        Directory(kNameDir, 1, kLangDir, true);
        Directory(kLangDir, 0x409, kDataEntry, false);
        Put32(kDataEntry, Rva(kVersionInfo));
        Put32(kDataEntry + 4, kVersionInfoSize);
        Put16(kVersionInfo, kVersionInfoSize);
        Put16(kVersionInfo + 2, 52);
        const char key[] = "VS_VERSION_INFO";
        for (size_t i = 0; i < sizeof key; ++i)
            Put16(kVersionInfo + 6 + 2 * uint32_t(i), uint8_t(key[i]));
        Put32(kVersionInfo + 40, 0xFEEF04BD);
        Put32(kVersionInfo + 44, 0x10000);
        Put32(kVersionInfo + 48, 0x00040000);  // 4.0
        Put32(kVersionInfo + 52, 0x00010002);  // .1.2
    }

    static uint32_t RsrcSize() { return kVersionInfo + kVersionInfoSize - kRsrcFile; }
    static uint32_t Rva(uint32_t fileOffset) { return fileOffset - kRsrcFile + kRsrcRva; }
    // A directory of one id entry, leading to a subdirectory or a data entry.
    void Directory(uint32_t at, uint32_t id, uint32_t target, bool subdirectory) {
        Put16(at + 14, 1);
        Put32(at + 16, id);
        Put32(at + 20, (target - kRsrcFile) | (subdirectory ? 0x80000000u : 0));
    }
    void Put16(uint32_t at, uint16_t v) {
        bytes[at] = uint8_t(v);
        bytes[at + 1] = uint8_t(v >> 8);
    }
    void Put32(uint32_t at, uint32_t v) {
        Put16(at, uint16_t(v));
        Put16(at + 2, uint16_t(v >> 16));
    }

    std::vector<uint8_t> bytes;
    uint32_t sectionHeader = 0;
};

bool Version(const std::vector<uint8_t>& bytes, platform::FileVersion& version) {
    MemorySource source(bytes);
    return FindPeFileVersion(source, version);
}

bool HasVersion(const std::vector<uint8_t>& bytes) {
    platform::FileVersion version;
    return Version(bytes, version);
}

TEST(PeVersion, ReadsTheFixedVersionOfBothImageKinds) {
    for (bool pe32plus : {false, true}) {
        platform::FileVersion version;
        ASSERT_TRUE(Version(Image(pe32plus).bytes, version)) << pe32plus;
        EXPECT_EQ(version.mostSignificant, 0x00040000u);
        EXPECT_EQ(version.leastSignificant, 0x00010002u);
    }
}

TEST(PeVersion, FindsTheVersionAmongOtherResources) {
    // A type directory with a named entry and an icon type before type 16,
    // and a name directory whose first name is not 1: the reader skips them.
    Image image;
    image.Put16(kTypeDir + 12, 1);  // one named entry
    image.Put16(kTypeDir + 14, 2);  // two id entries
    image.Put32(kTypeDir + 16, 0x80000000u | 0x7FF0);
    image.Put32(kTypeDir + 20, 0x80000000u | 0x7FF0);  // both lead nowhere
    image.Put32(kTypeDir + 24, 3);
    image.Put32(kTypeDir + 28, 0x80000000u | 0x7FF0);
    image.Put32(kTypeDir + 32, 16);
    image.Put32(kTypeDir + 36, 0x80000000u | (kNameDir - kRsrcFile));
    platform::FileVersion version;
    ASSERT_TRUE(Version(image.bytes, version));
    EXPECT_EQ(version.leastSignificant, 0x00010002u);

    image.Put32(kNameDir + 16, 7);  // no name 1: the first name serves
    EXPECT_TRUE(HasVersion(image.bytes));
}

TEST(PeVersion, EveryTruncationFailsQuietly) {
    std::vector<uint8_t> bytes = Image().bytes;
    for (size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(HasVersion(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size))) << size;
}

TEST(PeVersion, HostileHeadersAndTreesGiveNoVersion) {
    struct Damage {
        const char* what;
        uint32_t at;
        uint32_t value;
        bool wide;
    };
    const Damage damages[] = {
        {"no MZ", 0, 0x5A4E, false},
        {"PE header far outside", 0x3C, 0xFFFFFFF0u, true},
        {"PE header just past the end", 0x3C, uint32_t(Image().bytes.size()) - 4, true},
        {"no PE signature", kPeHeader, 0x00004551, true},
        {"unknown optional header", kOptionalHeader, 0x107, false},
        {"optional header too short for directories", kPeHeader + 20, 100, false},
        {"optional header past the end", kPeHeader + 20, 0xFFFF, false},
        {"two directories only", kOptionalHeader + 92, 2, true},
        {"no resource directory", kOptionalHeader + 96 + 16, 0, true},
        {"resource directory outside every section", kOptionalHeader + 96 + 16, 0x90000, true},
        {"section table past the end", kPeHeader + 6, 0xFFFF, false},
        {"no sections", kPeHeader + 6, 0, false},
        {"section data past the end", kOptionalHeader + 224 + 20, 0xFFFFFF00u, true},
        {"section address near the top", kOptionalHeader + 224 + 12, 0xFFFFFFF0u, true},
        {"huge entry counts", kTypeDir + 12, 0xFFFFFFFFu, true},
        {"no version type", kTypeDir + 16, 3, true},
        {"type entry is no directory", kTypeDir + 20, kNameDir - kRsrcFile, true},
        {"type directory outside", kTypeDir + 20, 0xFFFFFFFFu, true},
        {"type entry leads back to the root", kTypeDir + 20, 0x80000000u, true},
        {"name directory empty", kNameDir + 14, 0, false},
        {"language entry is a directory", kLangDir + 20, 0x80000000u | (kLangDir - kRsrcFile), true},
        {"data outside every section", kDataEntry, 0x5000, true},
        {"data longer than its section", kDataEntry + 4, 0x1000, true},
        {"data far too long", kDataEntry + 4, 0xFFFFFFFFu, true},
        {"data too short for the fixed part", kDataEntry + 4, 80, true},
        {"block length too short", kVersionInfo, 60, false},
        {"value too short", kVersionInfo + 2, 40, false},
        {"another key", kVersionInfo + 6, 'X', false},
        {"no signature", kVersionInfo + 40, 0xFEEF04BE, true},
    };
    for (const Damage& d : damages) {
        Image image;
        if (d.wide)
            image.Put32(d.at, d.value);
        else
            image.Put16(d.at, uint16_t(d.value));
        EXPECT_FALSE(HasVersion(image.bytes)) << d.what;
    }
}

// Every byte of the image replaced by three telling values: whatever the
// reader makes of it, it stays inside the bytes (the sanitizer builds see).
TEST(PeVersion, AnyDamagedByteIsSafe) {
    std::vector<uint8_t> bytes = Image().bytes;
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t value : {uint8_t(0), uint8_t(0x7F), uint8_t(0xFF)}) {
            std::vector<uint8_t> damaged = bytes;
            damaged[i] = value;
            HasVersion(damaged);
        }
    }
}

// A file read at offsets, as getfileversion reads one on Linux.
class FileSource : public ImageSource {
public:
    bool Open(const std::string& path) { return file_.Open(path); }
    uint64_t Size() const override { return file_.Size(); }
    bool Read(uint64_t offset, void* out, size_t size) override { return file_.ReadAt(offset, out, size); }

private:
    platform::RandomAccessFile file_;
};

// The version resource that the win32 build puts into TallowCore.dll and
// into the stub of the programs tallowmake builds: read from the win32 build
// beside this one (Linux) or beside the test (Windows).
std::filesystem::path Win32BuildFile(const char* name) {
#if defined(_WIN32)
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    if (n == 0 || n >= sizeof exe) return {};
    return std::filesystem::path(exe).parent_path().parent_path() / name;
#elif defined(TALLOW_WIN32_CORE_DLL)
    return std::filesystem::path(TALLOW_WIN32_CORE_DLL).parent_path() / name;
#else
    return {};
#endif
}

TEST(PeVersion, OurOwnLibraryAndStubCarryTheProjectVersion) {
    for (const char* name : {"TallowCore.dll", "TallowStub.exe"}) {
        SCOPED_TRACE(name);
        std::filesystem::path dll = Win32BuildFile(name);
        if (dll.empty() || !std::filesystem::exists(dll)) GTEST_SKIP() << "no win32 build of " << name;
        FileSource file;
        ASSERT_TRUE(file.Open(dll.string()));
        platform::FileVersion version;
        ASSERT_TRUE(FindPeFileVersion(file, version));
        const uint32_t parts[] = {TALLOW_VERSION_PARTS};
        EXPECT_EQ(version.mostSignificant, parts[0] << 16 | parts[1]);
        EXPECT_EQ(version.leastSignificant, parts[2] << 16);
#if defined(_WIN32)
        platform::FileVersion system;
        ASSERT_EQ(platform::SystemFileVersion(dll.string(), system), platform::VersionLookup::kFound);
        EXPECT_EQ(system.mostSignificant, version.mostSignificant);
        EXPECT_EQ(system.leastSignificant, version.leastSignificant);
#endif
    }
}

#if !defined(_WIN32)
// getfileversion on Linux: the PE reader reads the file at offsets.
TEST(PeVersion, GetFileVersionReadsTheFile) {
    auto dir = std::filesystem::temp_directory_path() / ("tallow-pe-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string pe = (dir / "app.exe").string(), text = (dir / "notes.txt").string();
    std::vector<uint8_t> bytes = Image().bytes;
    std::ofstream(pe, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::ofstream(text) << "no program\n";
    Program program;
    program.keepState = true;  // the arrays outlive the runs
    program.Run(("getfileversion \"" + pe + "\", v\n").c_str());
    ASSERT_NE(program.Outcome(), RunOutcome::Failed) << program.LastRunError().message;
    NumArrayObject* v = program.FindNumArray("v");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->items, (std::vector<double>{4, 0, 1, 2}));
    program.Run(("try\ngetfileversion \"" + text + "\", w\ncatch\nendtry\n").c_str());
    EXPECT_EQ(program.FindNumArray("w"), nullptr);
    std::filesystem::remove_all(dir);
}
#endif

}  // namespace
}  // namespace tallow
