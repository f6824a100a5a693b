// The program that tallowmake puts in front of a code file: it takes the
// code file attached to its own executable and runs it as the code runner
// runs one, with every command-line argument passed on to the script. It
// has no options of its own.
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "api/code_runner.h"
#include "codec/code_file.h"
#include "support/code_run_status.h"
#include "support/program_main.h"
#include "support/system.h"
#include "tallow.h"
#include "tools/tallowmake/attached_code.h"

namespace {

using tallow::make::AttachError;

// The script failed before it set a code, or a dialog could not be made.
using tallow::support::kStatusFailed;
constexpr int kStatusUnusable = 2;  // nothing attached, or the attachment is damaged

// A box captioned with the program's name; on Linux and unattended a line
// "NAME: text" on standard error.
void Report(const std::string& caption, const std::string& text) {
    tallow::support::ShowFailureBox(caption, text);
}

// Reads count bytes ending at the end of the open file (all of it when
// count is larger); false on a read error.
bool ReadTail(std::ifstream& in, uint64_t fileSize, uint64_t count, std::vector<uint8_t>& out) {
    if (count > fileSize) count = fileSize;
    out.resize(static_cast<size_t>(count));
    in.clear();
    in.seekg(static_cast<std::streamoff>(fileSize - count));
    in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(count));
    return static_cast<uint64_t>(in.gcount()) == count;
}

// The attached code from the program file at path: only the trailer and
// what it covers are read, the whole file only when the trailer is missing
// and a cut must be told from a bare stub.
AttachError LoadAttachedCode(const std::string& path, std::vector<uint8_t>& code, bool& readError) {
    readError = false;
    std::ifstream in(path, std::ios::binary | std::ios::ate);  // the narrow path, as the system gave it
    std::streamoff end = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (end < 0) {
        readError = true;
        return AttachError::NoAttachment;
    }
    uint64_t fileSize = static_cast<uint64_t>(end);
    std::vector<uint8_t> tail;
    tallow::make::Trailer trailer;
    if (!ReadTail(in, fileSize, tallow::make::kTrailerSize, tail)) readError = true;
    uint64_t span = tallow::make::ReadTrailer(tail, trailer)
                        ? uint64_t(trailer.length) + tallow::make::kStartMarkSize + tallow::make::kTrailerSize
                        : fileSize;
    if (!readError && !ReadTail(in, fileSize, span, tail)) readError = true;
    if (readError) return AttachError::NoAttachment;
    return tallow::make::FindAttachedCode(tail, code);
}

int StubMain(int argc, char** argv) {
    std::string self = tallow::support::ExecutablePath();
    std::string name = std::filesystem::path(self).stem().string();
    if (name.empty()) name = "tallow program";
    std::vector<uint8_t> bytes;
    bool readError = false;
    AttachError attach = self.empty() ? AttachError::NoAttachment : LoadAttachedCode(self, bytes, readError);
    if (self.empty() || readError) {
        Report(name, "cannot read the program's own file " + self);
        return kStatusUnusable;
    }
    if (attach != AttachError::None) {
        Report(name, tallow::make::AttachErrorText(attach));
        return kStatusUnusable;
    }
    tallow::codec::CodeFile file;
    size_t dialogsRead = 0;
    tallow::codec::CodeFileError decode = tallow::codec::ReadCodeFile(bytes, file, &dialogsRead);
    if (decode != tallow::codec::CodeFileError::None) {
        Report(name, "the attached code file " + tallow::make::CodeFileErrorText(decode, dialogsRead));
        return kStatusUnusable;
    }
    bytes = std::vector<uint8_t>();
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return tallow::support::CodeRunStatus(
        tallow::RunDecodedCodeFile(std::move(file), self, std::move(arguments)), kStatusFailed);
}

}  // namespace

// Deep recursion in the script reaches the engine's limit before the end of
// the stack, as in the runner.
int main(int argc, char** argv) {
    return tallow::support::RunMain(StubMain, argc, argv, [] { Report("tallow program", "out of memory"); });
}
