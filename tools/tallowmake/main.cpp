// tallowmake: turns a code file into a stand-alone executable, a copy of the
// stub program (the engine linked in) followed by the code file and a
// trailer that the stub finds when it runs.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "codec/code_file.h"
#include "support/program_main.h"
#include "support/system.h"
#include "tools/tallowmake/attached_code.h"
#include "tools/tallowmake/make_command_line.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The largest stub read: far above any build of it, small enough to refuse
// a wrong file before it fills memory.
constexpr size_t kMaxStubSize = size_t(256) << 20;

constexpr const char* kHelp =
    "usage: tallowmake CODEFILE [-o EXEFILE]\n"
    "       tallowmake CODEFILE\"EXEFILE\n"
    "       tallowmake --help\n"
    "\n"
    "Builds a stand-alone executable from a code file (a script with its\n"
    "dialogs): a copy of the stub program " TALLOW_STUB_NAME
    ", which holds the whole engine,\n"
    "followed by the code file and a checksum. The executable runs the\n"
    "script with its own command-line arguments as argv and takes no options\n"
    "of its own; TALLOW_UNATTENDED=1 runs it unattended.\n"
    "\n"
    "The second form, a double quote between the two paths and no blank, is\n"
    "the one the development environment starts tallowmake with; its errors\n"
    "are shown in a box. Without -o the executable is the code file's path\n"
    "with the extension replaced (\"" TALLOW_EXE_SUFFIX
    "\").\n"
    "\n"
    "The stub is looked for beside tallowmake, then in " TALLOW_STUB_LIBEXEC
    " below\n"
    "that folder.\n"
    "\n"
    "Exit status: 0 when the executable was written; 1 when the code file is\n"
    "missing, not a code file or damaged, the stub is missing, or the\n"
    "executable cannot be written; 2 for a wrong command line.\n";

struct Failure {
    std::string message;
};

// Reads a whole file or fails with a sentence naming what it is.
std::vector<uint8_t> ReadWhole(const std::string& path, const std::string& what, size_t limit) {
    std::vector<uint8_t> bytes;
    switch (tallow::support::ReadFileBytes(path, limit, bytes)) {
        case tallow::support::FileRead::kRead:
            return bytes;
        case tallow::support::FileRead::kCannotOpen:
            throw Failure{"cannot open " + what + " " + path +
                          " (missing, unreadable or not a regular file)"};
        case tallow::support::FileRead::kTooLarge:
            throw Failure{what + " " + path + " is too large"};
        case tallow::support::FileRead::kFailed:
            break;
    }
    throw Failure{"error reading " + what + " " + path};
}

std::string FindStub() {
    fs::path self = tallow::support::ExecutablePath();
    std::vector<fs::path> candidates = {self.parent_path() / TALLOW_STUB_NAME,
                                        self.parent_path() / TALLOW_STUB_LIBEXEC / TALLOW_STUB_NAME};
    std::error_code error;
    for (const fs::path& candidate : candidates)
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    throw Failure{"the stub program " + std::string(TALLOW_STUB_NAME) + " is not installed beside " +
                  self.string() + " nor in " + (self.parent_path() / TALLOW_STUB_LIBEXEC).string()};
}

// Replaces path whole with the stub and the attached code, so that a failed
// build leaves no half-written executable behind and an old one as it was.
void WriteExecutable(const std::string& path, const std::vector<uint8_t>& stub,
                     const std::vector<uint8_t>& attachment) {
    tallow::support::FileReplacement replacement;
    if (!replacement.Begin(path, tallow::support::ReplacedKind::kExecutable))
        throw Failure{"cannot write the executable " + path +
                      " (not a regular file, or its folder is not writable)"};
    if (!replacement.Write({reinterpret_cast<const char*>(stub.data()), stub.size()}) ||
        !replacement.Write({reinterpret_cast<const char*>(attachment.data()), attachment.size()}) ||
        !replacement.Commit())
        throw Failure{"cannot write the executable " + path};
}

void Make(const tallow::make::MakeRequest& request) {
    std::error_code error;
    if (fs::equivalent(request.codeFile, request.exeFile, error))
        throw Failure{"the executable " + request.exeFile + " would replace the code file"};
    std::vector<uint8_t> code = ReadWhole(request.codeFile, "the code file", tallow::make::kMaxAttachedSize);
    tallow::codec::CodeFile file;
    size_t dialogsRead = 0;
    tallow::codec::CodeFileError decode = tallow::codec::ReadCodeFile(code, file, &dialogsRead);
    if (decode != tallow::codec::CodeFileError::None)
        throw Failure{request.codeFile + " " + tallow::make::CodeFileErrorText(decode, dialogsRead)};
    std::string stubPath = FindStub();
    std::vector<uint8_t> stub = ReadWhole(stubPath, "the stub program", kMaxStubSize);
    tallow::make::Trailer trailer;
    if (tallow::make::ReadTrailer(stub, trailer))
        throw Failure{"the stub program " + stubPath + " already carries a code file"};
    WriteExecutable(request.exeFile, stub, tallow::make::AttachmentBytes(code));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    tallow::make::MakeRequest request =
        tallow::make::ParseMakeCommandLine(tallow::support::RawArgumentText(), args, TALLOW_EXE_SUFFIX);
    if (request.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!request.error.empty()) {
        std::fprintf(stderr, "tallowmake: %s\ntry tallowmake --help\n", request.error.c_str());
        return kExitUsage;
    }
    try {
        Make(request);
        return 0;
    } catch (const Failure& failure) {
        if (request.environmentForm)
            tallow::support::ShowFailureBox("TallowMake", failure.message);
        else
            std::fprintf(stderr, "tallowmake: %s\n", failure.message.c_str());
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "tallowmake: %s\n", exception.what());
    }
    return kExitFailure;
}
