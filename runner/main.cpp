// tallow: runs a script file or a text given on the command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "prompt.h"
#include "reference_docs.h"
#include "script_text.h"
#include "support/code_command_line.h"
#include "support/code_run_status.h"
#include "support/program_main.h"
#include "support/system.h"
#include "tallow.h"

namespace {

// Exit statuses of the runner besides the script's own codes.
using tallow::support::kStatusFailed;
using tallow::support::kStatusUsage;  // also for a script that cannot be read
constexpr int kStatusBudget = 124;    // --max-statements ended the run, as timeout(1) reports

void Usage(FILE* out) {
    std::fputs(
        "usage: tallow [OPTION...] FILE [ARG...]\n"
        "       tallow [--unattended] FILE.cod [ARG...]\n"
        "       tallow [OPTION...] [-i]\n"
        "       tallow [OPTION...] -e TEXT [ARG...]\n"
        "       tallow [OPTION...] - [ARG...]\n"
        "       tallow --register | --unregister\n"
        "       tallow --doc NAME\n"
        "       tallow --help | --version\n"
        "\n"
        "Runs a Tallow script. The ARGs fill the string array argv. A code file (a\n"
        "script with its dialogs, known by its first bytes whatever its name) runs\n"
        "with each dialog as an object of its name.\n"
        "  -e TEXT        run TEXT instead of a file\n"
        "  -              read the script from standard input (also without FILE\n"
        "                 when standard input is not a terminal)\n"
        "  -i             an interactive prompt (also without FILE on a terminal):\n"
        "                 each line, or block once it is closed, runs at once, and\n"
        "                 variables, arrays, objects and procedures persist\n"
        "  --unattended   show no message box: write each one to standard error\n"
        "                 and answer it with its first button; a dialog's execute\n"
        "                 writes NAME: dialog and answers with its default button\n"
        "                 (also TALLOW_UNATTENDED=1 in the environment)\n"
        "  --max-statements N\n"
        "                 end the run once N statements have executed\n"
        "  --memory-limit MB\n"
        "                 fail with \"out of memory\" once the script holds more than\n"
        "                 MB MiB (default 1024, 512 in 32-bit builds; 0: no limit)\n"
        "  --trust-addresses\n"
        "                 let Heap members and buffers use any address, not only\n"
        "                 those of blocks the script allocated (for memory that a\n"
        "                 declared library function returned; a wrong one crashes)\n"
        "  --no-fast-paths\n"
        "                 read every statement from the text, remembering nothing\n"
        "                 (slower; for finding a fault in the engine)\n"
        "  --extensions   list the registered extension libraries and whether each\n"
        "                 one loads, then exit\n"
        "  --unregister-extension NAME\n"
        "                 remove the registrations of object or type NAME, then exit\n"
        "  --register     make the desktop open code files (.cod) with Tallow, for\n"
        "                 the current user, then exit (Linux: a MIME type and a\n"
        "                 desktop entry under $XDG_DATA_HOME; Windows: the open\n"
        "                 verb of the code-file type, starting tallowrun.exe)\n"
        "  --unregister   remove what --register wrote, then exit\n"
        "\n"
        "Exit status: the script's exit code (0 unless it ran exit N); 1 when an\n"
        "error ended it before it set one; 124 when --max-statements ended it; 2\n"
        "for a wrong command line or a script that cannot be read. A code file's\n"
        "status is the same; 1 also when the file cannot be used.\n"
        "\n"
        "Errors go to standard error, never to a window: the error's text, then\n"
        "FILE:LINE:COLUMN: error: MESSAGE: 'TOKEN' (FILE:script:LINE:COLUMN in a\n"
        "code file) and FILE:LINE:COLUMN: note: lines where the message needs\n"
        "them. Boxes and dialogs a script shows stay windows.\n\n",
        out);
    std::fputs(tallow::runner::DocumentationHelp().c_str(), out);
}

// Reads a script file whole; false when it cannot be read. Only a regular
// file is read: a directory cannot be, and a FIFO or device might never end.
bool ReadWholeFile(const char* path, std::string& out) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return false;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return !in.bad();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {  // a read error may surface as an exception
        return false;
    }
}

int Main(int argc, char** argv);

// --extensions: one line per registration; the status is 1 when one of the
// libraries does not load.
struct Listing {
    int broken = 0;
};

void TALLOW_ENTRY PrintRegistration(void* context, const char* section, const char* name, TallowValue data,
                                    const char* path, int loads) {
    static_cast<Listing*>(context)->broken += loads ? 0 : 1;
    std::printf("%-9s %-31s %s (data %ld)%s\n", section, name, path, static_cast<long>(data),
                loads ? "" : "  -- does not load");
}

int ListExtensions() {
    Listing listing;
    if (ListExtensionRegistrations(PrintRegistration, &listing) == 0) std::puts("no extension is registered");
    return listing.broken ? 1 : 0;
}

int UnregisterExtension(const char* name) {
    int removed = WriteExtensionRegistration("Objects", name, nullptr) +
                  WriteExtensionRegistration("Factories", name, nullptr);
    if (!removed) {
        std::fprintf(stderr, "tallow: no extension is registered as %s\n", name);
        return 1;
    }
    return 0;
}

// --register and --unregister: each file or key changed on standard output;
// status 1 when one could not be written or removed.
int RegisterCodeFiles(bool add) {
    std::vector<std::string> changed;
    std::string error;
    bool done = false;
    if (add) {
        std::string launcher = tallow::support::CodeFileLauncher();
        if (launcher.empty())
            error = "the program that opens code files is not installed beside tallow";
        else
            done = tallow::support::RegisterCodeFiles(launcher, changed, error);
    } else {
        done = tallow::support::UnregisterCodeFiles(changed, error);
    }
    for (const std::string& item : changed)
        std::printf("%s %s\n", add ? "wrote" : "removed", item.c_str());
    if (!done) {
        std::fprintf(stderr, "tallow: %s\n", error.c_str());
        return kStatusFailed;
    }
    if (!add && changed.empty()) std::puts("code files were not registered");
    return 0;
}

// After a run that failed while loading the registered extensions: which
// registrations name a library that does not load.
void TALLOW_ENTRY NameBrokenRegistration(void*, const char* section, const char* name, TallowValue,
                                         const char* path, int loads) {
    if (!loads)
        std::fprintf(stderr,
                     "tallow: the extension %s (registered under %s) names %s, which does not load; "
                     "tallow --unregister-extension %s removes it\n",
                     name, section, path, name);
}

// The error that ended the run, in the form compilers use, so that editors
// can jump to it: FILE:LINE:COLUMN: error: MESSAGE[: 'TOKEN'], and its notes.
void ReportFailure(TallowProgramHandle program, const std::string& shown) {
    tallow::runner::RunError error;
    if (tallow::runner::LastRunError(program, error))
        tallow::runner::WriteDiagnostic(stderr, error, tallow::runner::FilePlace(shown));
}

// A code file runs as RunTallowCode runs it: its dialogs become objects, and
// the exit status is the script's exit code, or 1 when the file could not be
// used (after the runner's box) or an error ended the script before it set
// a code.
int RunCodeFile(const std::string& fileName, const std::vector<const char*>& args) {
    std::string line, bad;
    if (!tallow::support::BuildCodeCommandLine(fileName, args, line, bad)) {
        std::fprintf(stderr,
                     "tallow: a code file's arguments cannot hold both a double quote and a blank "
                     "or a leading quote: %s\n",
                     bad.c_str());
        return kStatusUsage;
    }
    int code = RunTallowCode(line.c_str(), 0);
    // The place is the script's inside the code file: FILE:script:LINE:COLUMN.
    tallow::runner::RunError error;
    if (tallow::runner::LastCodeRunError(error))
        tallow::runner::WriteDiagnostic(stderr, error, tallow::runner::FilePlace(fileName + ":script"));
    return tallow::support::CodeRunStatus(code, kStatusFailed);
}

}  // namespace

// A script too big for the memory at hand is reported as the engine reports
// it, not by an uncaught exception.
int main(int argc, char** argv) {
    return tallow::support::RunMain(Main, argc, argv, [] { std::fputs("tallow: out of memory\n", stderr); });
}

namespace {

int Main(int argc, char** argv) {
    tallow::support::WriteStandardOutputAsBytes();
    // A console program: its user reads errors in the terminal, and a run
    // that nobody watches must not wait on a box.
    SetErrorOutput(nullptr, TALLOW_ERRORS_STDERR);
    int i = 1;
    bool unattended = false;
    long long maxStatements = 0;
    long long memoryLimit = -1;
    bool fastPaths = true;
    bool trustAddresses = false;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            int v = GetTallowVersion();
            std::printf("tallow %d.%d.%d\n", v / 10000, v / 100 % 100, v % 100);
            return 0;
        }
        if (std::strcmp(argv[i], "--unattended") == 0) {
            unattended = true;
            continue;
        }
        if (std::strcmp(argv[i], "--max-statements") == 0) {
            char* end = nullptr;
            maxStatements = i + 1 < argc ? std::strtoll(argv[i + 1], &end, 10) : 0;
            if (i + 1 >= argc || *end || maxStatements <= 0) {
                std::fputs("tallow: --max-statements needs a positive count\n", stderr);
                return 2;
            }
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--memory-limit") == 0) {
            char* end = nullptr;
            memoryLimit = i + 1 < argc ? std::strtoll(argv[i + 1], &end, 10) : -1;
            if (i + 1 >= argc || *end || memoryLimit < 0 || memoryLimit > (1LL << 40)) {
                std::fputs("tallow: --memory-limit needs a size in MiB (0: no limit)\n", stderr);
                return 2;
            }
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--doc") == 0) {
            if (i + 1 >= argc) {
                std::fputs("tallow: --doc needs a name\n", stderr);
                return kStatusUsage;
            }
            const char* quiet = std::getenv("TALLOW_UNATTENDED");
            bool unattendedRun = unattended || (quiet && *quiet && std::string_view(quiet) != "0");
            return tallow::runner::ShowReferenceEntry(argv[i + 1], unattendedRun);
        }
        if (std::strcmp(argv[i], "--extensions") == 0) return ListExtensions();
        if (std::strcmp(argv[i], "--unregister-extension") == 0) {
            if (i + 1 >= argc) {
                std::fputs("tallow: --unregister-extension needs a name\n", stderr);
                return kStatusUsage;
            }
            return UnregisterExtension(argv[i + 1]);
        }
        if (std::strcmp(argv[i], "--register") == 0) return RegisterCodeFiles(true);
        if (std::strcmp(argv[i], "--unregister") == 0) return RegisterCodeFiles(false);
        if (std::strcmp(argv[i], "--no-fast-paths") == 0) {
            fastPaths = false;
            continue;
        }
        if (std::strcmp(argv[i], "--trust-addresses") == 0) {
            trustAddresses = true;
            continue;
        }
        break;
    }
    // No script named: a terminal gets the prompt, a pipe is the script.
    bool prompt = i < argc ? std::strcmp(argv[i], "-i") == 0 : tallow::support::StandardInputIsTerminal();
    bool fromInput = !prompt && (i < argc ? std::strcmp(argv[i], "-") == 0 : true);
    if (prompt) {
        if (unattended) SetUnattended(1);
        TallowProgramHandle program = CreateProgram();
        if (!program) return kStatusFailed;
        if (memoryLimit >= 0) SetMemoryLimit(program, memoryLimit << 20);
        if (!fastPaths) SetFastPaths(program, 0);
        if (trustAddresses) SetTrustAddresses(program, 1);
        int code = tallow::runner::RunPrompt(program);
        DestroyProgram(program);
        return code;
    }
    std::string raw, fileName;  // fileName stays empty for text that is no file
    std::string shown;          // how diagnostics name the script
    if (fromInput) {
        if (i < argc) ++i;
        shown = "-";
        if (!tallow::support::ReadStandardInput(raw)) {
            std::fputs("tallow: cannot read the script from standard input\n", stderr);
            return kStatusUsage;
        }
    } else if (std::strcmp(argv[i], "-e") == 0) {
        if (i + 1 >= argc) {
            std::fputs("tallow: -e needs a text\n", stderr);
            return 2;
        }
        raw = argv[i + 1];
        shown = "-e";
        i += 2;
    } else {
        fileName = shown = argv[i++];
        if (!ReadWholeFile(fileName.c_str(), raw)) {
            std::fprintf(stderr, "tallow: cannot read %s\n", fileName.c_str());
            return 2;
        }
        if (tallow::runner::IsCodeFile(raw)) {
            if (maxStatements > 0 || memoryLimit >= 0 || !fastPaths || trustAddresses) {
                std::fputs(
                    "tallow: --max-statements, --memory-limit, --no-fast-paths and --trust-addresses apply "
                    "to "
                    "script text, not to a code file\n",
                    stderr);
                return kStatusUsage;
            }
            if (unattended) SetUnattended(1);
            return RunCodeFile(fileName, std::vector<const char*>(argv + i, argv + argc));
        }
        size_t nul = tallow::runner::FindStrayNul(raw);
        if (nul != std::string::npos) {
            std::fprintf(stderr, "tallow: %s holds a NUL byte at offset %lu (line %lu); a script is text\n",
                         fileName.c_str(), static_cast<unsigned long>(nul),
                         static_cast<unsigned long>(tallow::runner::LineOfOffset(raw, nul)));
            return 2;
        }
    }
    std::vector<const char*> args(argv + i, argv + argc);

    if (unattended) SetUnattended(1);
    TallowProgramHandle program = CreateProgram();
    if (!program) {
        std::fputs("tallow: out of memory\n", stderr);
        return kStatusFailed;
    }
    SetScriptFileName(program, fileName.c_str());
    SetScriptArguments(program, int(args.size()), args.data());
    if (maxStatements > 0) SetStatementLimit(program, maxStatements);
    if (memoryLimit >= 0) SetMemoryLimit(program, memoryLimit << 20);
    if (!fastPaths) SetFastPaths(program, 0);
    if (trustAddresses) SetTrustAddresses(program, 1);
    int code = RunProgram(program, raw.c_str());
    int outcome = GetRunOutcome(program);
    if (outcome == TALLOW_RUN_FAILED) {
        ReportFailure(program, shown);
        char message[128];
        GetLastRunError(program, message, sizeof message, nullptr, nullptr, nullptr, nullptr, 0);
        if (std::strstr(message, "extension library"))
            ListExtensionRegistrations(NameBrokenRegistration, nullptr);
        if (code == 0) code = kStatusFailed;
    } else if (outcome == TALLOW_RUN_BUDGET) {
        code = kStatusBudget;
    }
    DestroyProgram(program);
    return code;
}

}  // namespace
