// tallow: runs a script file or a text given on the command line.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "runner/diagnostics.h"
#include "runner/prompt.h"
#include "runner/runner_options.h"
#include "runner/script_text.h"
#include "support/code_command_line.h"
#include "support/code_run_status.h"
#include "support/program_main.h"
#include "support/system.h"
#include "tallow.h"

namespace tallow::runner {

namespace {

// The script to run and how diagnostics name it: the file's name, "-" for
// standard input and "-e" for a text on the command line.
struct Script {
    std::string raw;
    std::string fileName;  // empty for text that is no file
    std::string shown;
};

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
    RunError error;
    if (LastRunError(program, error)) WriteDiagnostic(stderr, error, FilePlace(shown));
}

// A code file runs as RunTallowCode runs it: its dialogs become objects, and
// the exit status is the script's exit code, or 1 when the file could not be
// used or an error ended the script before it set a code.
int RunCodeFile(const RunnerOptions& options, const std::string& fileName,
                const std::vector<const char*>& args) {
    if (options.LimitsScriptText()) {
        std::fputs(
            "tallow: --max-statements, --max-seconds, --memory-limit, --no-fast-paths and "
            "--trust-addresses apply to script text, not to a code file\n",
            stderr);
        return kStatusUsage;
    }
    if (options.unattended) SetUnattended(1);
    std::string line, bad;
    if (!support::BuildCodeCommandLine(fileName, args, line, bad)) {
        std::fprintf(stderr,
                     "tallow: a code file's arguments cannot hold both a double quote and a blank "
                     "or a leading quote: %s\n",
                     bad.c_str());
        return kStatusUsage;
    }
    int code = RunTallowCode(line.c_str(), 0);
    // The place is the script's inside the code file: FILE:script:LINE:COLUMN.
    RunError error;
    if (LastCodeRunError(error)) WriteDiagnostic(stderr, error, FilePlace(fileName + ":script"));
    return support::CodeRunStatus(code, kStatusFailed);
}

// The options that shape a program, for the prompt's and a script's (the
// statement limit is a script's alone).
void ApplyOptions(TallowProgramHandle program, const RunnerOptions& options) {
    if (options.memoryLimit >= 0) SetMemoryLimit(program, options.memoryLimit << 20);
    if (!options.fastPaths) SetFastPaths(program, 0);
    if (options.trustAddresses) SetTrustAddresses(program, 1);
}

int RunPromptWith(const RunnerOptions& options) {
    if (options.unattended) SetUnattended(1);
    TallowProgramHandle program = CreateProgram();
    if (!program) return kStatusFailed;
    ApplyOptions(program, options);
    int code = RunPrompt(program);
    DestroyProgram(program);
    return code;
}

// A script file must be text: false after a message naming the first NUL
// that does not only pad the end.
bool RefuseNul(const Script& script) {
    size_t nul = FindStrayNul(script.raw);
    if (nul == std::string::npos) return true;
    std::fprintf(stderr, "tallow: %s holds a NUL byte at offset %lu (line %lu); a script is text\n",
                 script.fileName.c_str(), static_cast<unsigned long>(nul),
                 static_cast<unsigned long>(LineOfOffset(script.raw, nul)));
    return false;
}

// Runs the script with args as argv; the script's exit code, or the
// runner's status for a run that failed or hit --max-statements or --max-seconds.
int RunScript(const RunnerOptions& options, const Script& script, const std::vector<const char*>& args) {
    if (options.unattended) SetUnattended(1);
    TallowProgramHandle program = CreateProgram();
    if (!program) {
        std::fputs("tallow: out of memory\n", stderr);
        return kStatusFailed;
    }
    SetScriptFileName(program, script.fileName.c_str());
    SetScriptArguments(program, int(args.size()), args.data());
    if (options.maxStatements > 0) SetStatementLimit(program, options.maxStatements);
    if (options.maxSeconds > 0) SetTimeLimit(program, int64_t(options.maxSeconds * 1000));
    ApplyOptions(program, options);
    int code = RunProgram(program, script.raw.c_str());
    int outcome = GetRunOutcome(program);
    if (outcome == TALLOW_RUN_FAILED) {
        ReportFailure(program, script.shown);
        char message[128];
        GetLastRunError(program, message, sizeof message, nullptr, nullptr, nullptr, nullptr, 0);
        if (std::strstr(message, "extension library"))
            ListExtensionRegistrations(NameBrokenRegistration, nullptr);
        if (code == 0) code = kStatusFailed;
    } else if (outcome == TALLOW_RUN_BUDGET || outcome == TALLOW_RUN_TIME) {
        code = kStatusBudget;
    }
    DestroyProgram(program);
    return code;
}

// tallow [OPTION...] (FILE | -e TEXT | - | -i) [ARG...]
int Main(int argc, char** argv) {
    support::WriteStandardOutputAsBytes();
    // A console program: its user reads errors in the terminal, and a run
    // that nobody watches must not wait on a box.
    SetErrorOutput(nullptr, TALLOW_ERRORS_STDERR);
    RunnerOptions options;
    int status = 0;
    int i = ReadRunnerOptions(argc, argv, options, status);
    if (i < 0) return status;
    // No script named: a terminal gets the prompt, a pipe is the script.
    if (i < argc ? std::strcmp(argv[i], "-i") == 0 : support::StandardInputIsTerminal())
        return RunPromptWith(options);
    Script script;
    if (i >= argc || std::strcmp(argv[i], "-") == 0) {
        if (i < argc) ++i;
        script.shown = "-";
        if (!support::ReadStandardInput(script.raw)) {
            std::fputs("tallow: cannot read the script from standard input\n", stderr);
            return kStatusUsage;
        }
    } else if (std::strcmp(argv[i], "-e") == 0) {
        if (i + 1 >= argc) {
            std::fputs("tallow: -e needs a text\n", stderr);
            return kStatusUsage;
        }
        script.raw = argv[i + 1];
        script.shown = "-e";
        i += 2;
    } else {
        script.fileName = script.shown = argv[i++];
        if (!ReadWholeFile(script.fileName.c_str(), script.raw)) {
            std::fprintf(stderr, "tallow: cannot read %s\n", script.fileName.c_str());
            return kStatusUsage;
        }
        std::vector<const char*> args(argv + i, argv + argc);
        if (IsCodeFile(script.raw)) return RunCodeFile(options, script.fileName, args);
        if (!RefuseNul(script)) return kStatusUsage;
    }
    return RunScript(options, script, std::vector<const char*>(argv + i, argv + argc));
}

}  // namespace

}  // namespace tallow::runner

// A script too big for the memory at hand is reported as the engine reports
// it, not by an uncaught exception.
int main(int argc, char** argv) {
    return tallow::support::RunMain(tallow::runner::Main, argc, argv,
                                    [] { std::fputs("tallow: out of memory\n", stderr); });
}
