// Files, links, versions and well-known directories of the system object:
// text files as string arrays, shortcuts, the shell's file operations, file
// and system versions, and the places and names the system keeps.
#include "core/messages.h"
#include "core/program.h"
#include "expr/function_helpers.h"
#include "expr/num_array.h"
#include "expr/operators.h"
#include "expr/string_array.h"
#include "objects/line_pieces.h"
#include "objects/pe_version.h"
#include "objects/system_members.h"
#include "objects/system_object.h"
#include "platform/file_operation.h"
#include "platform/file_version.h"
#include "platform/shell_link.h"
#include "platform/system_info.h"
#include "platform/text_file.h"

namespace tallow {

namespace {

// The prefix of the names that gettempfilename makes.
constexpr char kTempFilePrefix[] = "cod";

std::string NextName(Program& p) {
    p.Eval().HasNextParam(true);
    return p.Eval().ReadName();
}

// An optional string parameter after a comma, "" when there is none.
bool NextOptionalString(Program& p, std::string& text) {
    if (!p.Eval().HasNextParam(false)) return false;
    text = p.Eval().EvalString();
    return true;
}

// The low 16 bits of a number, as the shell takes operation codes and flags.
unsigned Low16(double n) {
    return unsigned(ToInt32(n)) & 0xFFFFu;
}

// A file opened for the PE reader.
class FileSource : public ImageSource {
public:
    bool Open(const std::string& path) { return file_.Open(path); }
    uint64_t Size() const override { return file_.Size(); }
    bool Read(uint64_t offset, void* out, size_t size) override { return file_.ReadAt(offset, out, size); }

private:
    platform::RandomAccessFile file_;
};

// The version of a file: through the system's API where there is one, else
// from its version resource read by our own PE reader.
platform::VersionLookup LookUpFileVersion(const std::string& path, platform::FileVersion& version) {
    platform::VersionLookup found = platform::SystemFileVersion(path, version);
    if (found != platform::VersionLookup::kNoSystemLookup) return found;
    FileSource file;
    return file.Open(path) && FindPeFileVersion(file, version) ? platform::VersionLookup::kFound
                                                               : platform::VersionLookup::kNoInfo;
}

void AppendHalves(NumArrayObject& numbers, uint32_t value) {
    numbers.items.push_back(double(value >> 16));
    numbers.items.push_back(double(value & 0xFFFFu));
}

}  // namespace

// readfilelines = "readfilelines" strexpr "," word. The array is made anew
// once the file is open; a line longer than kMaxLinePiece arrives in pieces.
void SysReadFileLines(Program& p) {
    std::string path = FirstString(p);
    std::string name = NextName(p);
    platform::TextFileIn file;
    if (!file.Open(path, p.StreamsFor(path))) p.ReportError(kRuntimeKind, msg::kCouldNotOpenFile);
    StringArrayObject* lines = p.ClearStringArray(name);
    std::string piece;
    while (ReadLinePiece(file, piece)) {
        p.ChargeMemory(piece.size() + sizeof piece);
        lines->items.push_back(piece);
    }
}

// writefilelines = "writefilelines" strexpr "," word. Without a string array
// of that name nothing happens, and the file is left alone. The lines
// replace the file whole: a failed write (a full disk, a size limit) is
// reported as the failed open is, and the old file stays as it was.
void SysWriteFileLines(Program& p) {
    std::string path = FirstString(p);
    std::string name = NextName(p);
    StringArrayObject* lines = p.FindStringArray(name);
    if (!lines) return;
    platform::TextFileOut file;
    if (!file.Open(path, p.StreamsFor(path))) p.ReportError(kRuntimeKind, msg::kCouldNotOpenFile);
    for (const std::string& line : lines->items)
        if (!file.WriteLine(line)) break;
    if (!file.Close()) p.ReportError(kRuntimeKind, msg::kCouldNotOpenFile);
}

// createlink = "createlink" strexpr "," strexpr ["," strexpr ["," strexpr
//              ["," strexpr ["," strexpr "," numexpr]]]]
// target, link file, description, working directory, arguments, icon file
// and index; an icon file needs its index.
void SysCreateLink(Program& p) {
    platform::ShellLinkFields link;
    link.target = FirstString(p);
    std::string linkFile = NextString(p);
    if (NextOptionalString(p, link.description) && NextOptionalString(p, link.workingDir) &&
        NextOptionalString(p, link.arguments) && NextOptionalString(p, link.iconFile))
        link.iconIndex = ToInt32(NextNumber(p));
    if (!platform::CreateShellLink(link, linkFile)) p.ReportError(kRuntimeKind, msg::kCouldNotCreateLink);
}

// fileoperation = "fileoperation" numexpr "," strexpr "," strexpr "," numexpr
// operation (fo...), source, target, flags (fof...).
void SysFileOperation(Program& p) {
    unsigned operation = Low16(FirstNumber(p));
    std::string source = NextString(p);
    std::string target = NextString(p);
    unsigned flags = Low16(NextNumber(p));
    if (!platform::ShellFileOperation(operation, source, target, flags, p.parentWindow))
        p.ReportError(kRuntimeKind, msg::kFileOperationFailed);
}

// getfileversion = "getfileversion" strexpr "," word. The array gets the four
// parts of the file version, most significant first (4.0.1.2: 4, 0, 1, 2).
void SysGetFileVersion(Program& p) {
    std::string path = FirstString(p);
    std::string name = NextName(p);
    platform::FileVersion version;
    switch (LookUpFileVersion(path, version)) {
        case platform::VersionLookup::kFound:
            break;
        case platform::VersionLookup::kNoMemory:
            p.ReportError(kRuntimeKind, msg::kMemoryAllocation);
        default:
            p.ReportError(kRuntimeKind, msg::kNoFileVersion);
    }
    NumArrayObject* numbers = p.ClearNumArray(name);
    AppendHalves(*numbers, version.mostSignificant);
    AppendHalves(*numbers, version.leastSignificant);
}

// getwinversion = "getwinversion" word. The array gets the high and low 16
// bits of the major version, then of the minor (4.10 gives 0, 4, 0, 10).
void SysGetWinVersion(Program& p) {
    std::string name = FirstName(p);
    NumArrayObject* numbers = p.ClearNumArray(name);
    platform::SystemVersion version = platform::GetSystemVersion();
    AppendHalves(*numbers, version.major);
    AppendHalves(*numbers, version.minor);
}

// gettempdir = "gettempdir" ["(" ")"], and likewise getwindir, getsysdir.
std::string SysGetTempDir(Program& p) {
    std::string path;
    if (!platform::TempDir(path)) p.ReportError(kRuntimeKind, msg::kNoTempDir);
    return path;
}

std::string SysGetWinDir(Program& p) {
    std::string path;
    if (!platform::WindowsDir(path)) p.ReportError(kRuntimeKind, msg::kNoWinDir);
    return path;
}

std::string SysGetSysDir(Program& p) {
    std::string path;
    if (!platform::SystemDir(path)) p.ReportError(kRuntimeKind, msg::kNoSysDir);
    return path;
}

// getshortfilename = "getshortfilename(" strexpr ")"
std::string SysGetShortFileName(Program& p) {
    return platform::ShortPathName(FirstString(p));
}

// getlongfilename = "getlongfilename(" strexpr ")"
std::string SysGetLongFileName(Program& p) {
    return platform::LongPathName(FirstString(p));
}

// gettempfilename = "gettempfilename(" strexpr ")". The file is created.
std::string SysGetTempFileName(Program& p) {
    return platform::CreateTempFile(FirstString(p), kTempFilePrefix);
}

// getusername = "getusername" ["(" ")"]
std::string SysGetUserName(Program&) {
    return platform::UserName();
}

}  // namespace tallow
