// The runner's options, one row each in kOptions, and the work of those that
// end the runner at once.
#include "runner/runner_options.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runner/reference_docs.h"
#include "support/system.h"
#include "tallow.h"

namespace tallow::runner {

namespace {

// What an option's work returns besides an exit status.
constexpr int kGoOn = -1;      // the next word may be another option
constexpr int kBadValue = -2;  // the value is wrong: the option's complaint, status 2

void Usage(FILE* out) {
    std::fputs(
        "usage: tallow [OPTION...] FILE [ARG...]\n"
        "       tallow [--unattended] FILE.cod [ARG...]\n"
        "       tallow [OPTION...] [-i]\n"
        "       tallow [OPTION...] -e TEXT [ARG...]\n"
        "       tallow [OPTION...] - [ARG...]\n"
        "       tallow --register | --unregister\n"
        "       tallow --language-server\n"
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
        "  --max-seconds N\n"
        "                 end the run once it has lasted N seconds; waits end then\n"
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
        "  --language-server\n"
        "                 serve the Language Server Protocol on standard input\n"
        "                 and output, for editors: errors as you type,\n"
        "                 completion, hover and definitions\n"
        "\n"
        "Exit status: the script's exit code (0 unless it ran exit N); 1 when an\n"
        "error ended it before it set one; 124 when --max-statements or\n"
        "--max-seconds ended it; 2 for a wrong command line or a script that\n"
        "cannot be read. A code file's status is the same; 1 also when the file\n"
        "cannot be used.\n"
        "\n"
        "Errors go to standard error, never to a window: the error's text, then\n"
        "FILE:LINE:COLUMN: error: MESSAGE: 'TOKEN' (FILE:script:LINE:COLUMN in a\n"
        "code file) and FILE:LINE:COLUMN: note: lines where the message needs\n"
        "them. Boxes and dialogs a script shows stay windows.\n\n",
        out);
    std::fputs(DocumentationHelp().c_str(), out);
}

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

int ListExtensions(RunnerOptions&, const char*) {
    Listing listing;
    if (ListExtensionRegistrations(PrintRegistration, &listing) == 0) std::puts("no extension is registered");
    return listing.broken ? kStatusFailed : 0;
}

int UnregisterExtension(RunnerOptions&, const char* name) {
    int removed = WriteExtensionRegistration("Objects", name, nullptr) +
                  WriteExtensionRegistration("Factories", name, nullptr);
    if (!removed) {
        std::fprintf(stderr, "tallow: no extension is registered as %s\n", name);
        return kStatusFailed;
    }
    return 0;
}

// --register and --unregister: each file or key changed on standard output;
// status 1 when one could not be written or removed.
int ChangeCodeFileRegistration(bool add) {
    std::vector<std::string> changed;
    std::string error;
    bool done = false;
    if (add) {
        std::string launcher = support::CodeFileLauncher();
        if (launcher.empty())
            error = "the program that opens code files is not installed beside tallow";
        else
            done = support::RegisterCodeFiles(launcher, changed, error);
    } else {
        done = support::UnregisterCodeFiles(changed, error);
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

int Help(RunnerOptions&, const char*) {
    Usage(stdout);
    return 0;
}

int Version(RunnerOptions&, const char*) {
    int v = GetTallowVersion();
    std::printf("tallow %d.%d.%d\n", v / 10000, v / 100 % 100, v % 100);
    return 0;
}

// --doc NAME: the reference's entry for NAME, in the browser unless
// unattended (the option, or TALLOW_UNATTENDED given before it).
int Doc(RunnerOptions& options, const char* name) {
    const char* quiet = std::getenv("TALLOW_UNATTENDED");
    bool unattended = options.unattended || (quiet && *quiet && std::strcmp(quiet, "0") != 0);
    return ShowReferenceEntry(name, unattended);
}

int Register(RunnerOptions&, const char*) {
    return ChangeCodeFileRegistration(true);
}

int Unregister(RunnerOptions&, const char*) {
    return ChangeCodeFileRegistration(false);
}

// The server reads its messages byte for byte; it ends with the client's
// exit notification or the end of input.
int LanguageServer(RunnerOptions&, const char*) {
    support::ReadStandardInputAsBytes();
    return RunLanguageServer();
}

int Unattended(RunnerOptions& options, const char*) {
    options.unattended = true;
    return kGoOn;
}

int NoFastPaths(RunnerOptions& options, const char*) {
    options.fastPaths = false;
    return kGoOn;
}

int TrustAddresses(RunnerOptions& options, const char*) {
    options.trustAddresses = true;
    return kGoOn;
}

// A decimal number that is the whole of text (an empty text is 0), within
// [low, high].
bool ParseCount(const char* text, long long low, long long high, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return *end == '\0' && out >= low && out <= high;
}

int MaxStatements(RunnerOptions& options, const char* value) {
    return ParseCount(value, 1, LLONG_MAX, options.maxStatements) ? kGoOn : kBadValue;
}

// Seconds, fractions allowed, below a thousand million.
int MaxSeconds(RunnerOptions& options, const char* value) {
    char* end = nullptr;
    double seconds = std::strtod(value, &end);
    if (*end != '\0' || !(seconds > 0 && seconds < 1e9)) return kBadValue;
    options.maxSeconds = seconds;
    return kGoOn;
}

// Up to a tebibyte: the largest limit the engine takes in bytes.
int MemoryLimit(RunnerOptions& options, const char* value) {
    return ParseCount(value, 0, 1LL << 40, options.memoryLimit) ? kGoOn : kBadValue;
}

struct Option {
    const char* name;
    const char* shortName;  // or null
    // The complaint when the value is missing or wrong; null for an option
    // without a value.
    const char* valueNeeded;
    // Does the option's work with its value: kGoOn, kBadValue, or the status
    // the runner ends with at once.
    int (*apply)(RunnerOptions& options, const char* value);
};

constexpr Option kOptions[] = {
    {"--help", "-h", nullptr, Help},
    {"--version", nullptr, nullptr, Version},
    {"--unattended", nullptr, nullptr, Unattended},
    {"--max-statements", nullptr, "--max-statements needs a positive count", MaxStatements},
    {"--max-seconds", nullptr, "--max-seconds needs a positive number of seconds", MaxSeconds},
    {"--memory-limit", nullptr, "--memory-limit needs a size in MiB (0: no limit)", MemoryLimit},
    {"--extensions", nullptr, nullptr, ListExtensions},
    {"--unregister-extension", nullptr, "--unregister-extension needs a name", UnregisterExtension},
    {"--register", nullptr, nullptr, Register},
    {"--unregister", nullptr, nullptr, Unregister},
    {"--language-server", nullptr, nullptr, LanguageServer},
    {"--doc", nullptr, "--doc needs a name", Doc},
    {"--no-fast-paths", nullptr, nullptr, NoFastPaths},
    {"--trust-addresses", nullptr, nullptr, TrustAddresses},
};

const Option* FindOption(const char* word) {
    for (const Option& option : kOptions)
        if (std::strcmp(word, option.name) == 0 ||
            (option.shortName && std::strcmp(word, option.shortName) == 0))
            return &option;
    return nullptr;
}

}  // namespace

int ReadRunnerOptions(int argc, char** argv, RunnerOptions& options, int& status) {
    int i = 1;
    for (; i < argc; ++i) {
        const Option* option = FindOption(argv[i]);
        if (!option) break;
        const char* value = nullptr;
        if (option->valueNeeded && i + 1 < argc) value = argv[++i];
        int result = option->valueNeeded && !value ? kBadValue : option->apply(options, value);
        if (result == kGoOn) continue;
        if (result == kBadValue) {
            std::fprintf(stderr, "tallow: %s\n", option->valueNeeded);
            result = kStatusUsage;
        }
        status = result;
        return -1;
    }
    return i;
}

}  // namespace tallow::runner
