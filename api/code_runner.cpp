// The code runner: RunTallowCode runs a code file named on a command line in
// a program of its own, with one dialog object per stored dialog and the
// further tokens as `argv`; the statement `run` (core/run_statement.cpp)
// starts it from a script.
// What keeps the file from running is shown in a box captioned "Tallow95".
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "api/code_runner.h"
#include "api/command_line.h"
#include "api/live_handles.h"
#include "api/run_error.h"
#include "codec/code_file.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/value_limits.h"
#include "objects/dialog_object.h"
#include "platform/file_read.h"
#include "platform/message_box.h"
#include "tallow.h"

namespace tallow {

namespace {

// The largest code file read: the longest text the engine holds, and room
// beside it for the dialogs.
constexpr size_t kMaxCodeFileSize = kMaxStringLength + (size_t(1) << 24);

void ShowRunnerBox(std::string_view text) {
    platform::ShowErrorMessage(nullptr, text, msg::kCodeRunnerCaption,
                               platform::kMbOk | platform::kMbIconExclamation,
                               platform::ErrorBoxesToStdError());
}

std::string CannotOpenText(const std::string& fileName) {
    std::string text = msg::kCouldNotOpenCodFile;  // appended, not added: g++ 12 warns on the sum
    text += fileName;
    text += msg::kCouldNotOpenCodFileEnd;
    return text;
}

// The program of one code file and its dialogs, known to the handle checks
// while it lives. The dialogs go first, then the program, on every path.
class CodeRun {
public:
    CodeRun() { api::NoteProgramBorn(&program, false); }
    ~CodeRun() {
        dialogs.clear();
        api::ForgetProgram(&program);
    }
    CodeRun(const CodeRun&) = delete;
    CodeRun& operator=(const CodeRun&) = delete;

    Program program;
    std::vector<std::unique_ptr<DialogObject>> dialogs;
};

// The message for where reading the file stopped.
const char* ReadFailureText(codec::CodeFileError error) {
    switch (error) {
        case codec::CodeFileError::InvalidType:
            return msg::kInvalidFileType;
        case codec::CodeFileError::DialogResource:
            return msg::kCouldNotLoadDialog;
        case codec::CodeFileError::CodeResource:
        case codec::CodeFileError::None:
            break;
    }
    return msg::kCouldNotLoadCode;
}

// How the last code run of this thread ended (GetCodeRunOutcome); a code
// file run by `run` inside another one counts until the outer one ends.
thread_local int lastCodeOutcome = TALLOW_RUN_NONE;
// The error that ended it, when one did (GetLastCodeRunError).
thread_local ErrorReport lastCodeError;

// The steps of RunTallowCode after the file is decoded: the dialogs become
// objects, then the text runs. 0 after a box when a dialog cannot be made.
int RunFile(CodeRun& run, codec::CodeFile& file) {
    Program& program = run.program;
    for (codec::CodeFileDialog& dialog : file.dialogs) {
        std::unique_ptr<platform::DialogWindow> window =
            platform::CreateDialogWindow(dialog.templateBytes, &program.parentWindow);
        if (!window) {
            ShowRunnerBox(msg::kCouldNotLoadDialog);
            return 0;
        }
        dialog.templateBytes = std::vector<uint8_t>();
        run.dialogs.push_back(std::make_unique<DialogObject>(program, dialog.name, std::move(window)));
    }
    std::string text = file.Text();
    file = codec::CodeFile();
    program.Run(text.c_str());
    lastCodeOutcome = program.Outcome() == RunOutcome::Failed ? TALLOW_RUN_FAILED : TALLOW_RUN_ENDED;
    if (lastCodeOutcome == TALLOW_RUN_FAILED) lastCodeError = program.LastRunError();
    return program.exitCode;
}

void SetArguments(Program& program, const std::string& fileName, std::vector<std::string> arguments) {
    program.scriptFileName = fileName;
    program.scriptArguments = std::move(arguments);
    program.hasScriptArguments = true;
}

// Steps of RunTallowCode; 0 after a box when the file cannot be used.
int RunCodeFile(const char* commandLine) {
    lastCodeOutcome = TALLOW_CODE_UNUSABLE;
    CodeRun run;
    std::vector<std::string> tokens = SplitCommandLine(commandLine ? commandLine : "");
    std::string fileName = tokens.empty() ? std::string() : tokens.front();
    SetArguments(run.program, fileName,
                 tokens.empty() ? std::vector<std::string>()
                                : std::vector<std::string>(tokens.begin() + 1, tokens.end()));

    std::vector<uint8_t> bytes;
    switch (platform::ReadFileBytes(fileName, kMaxCodeFileSize, bytes)) {
        case platform::FileRead::kCannotOpen:
            ShowRunnerBox(CannotOpenText(fileName));
            return 0;
        case platform::FileRead::kTooLarge:
            ShowRunnerBox(msg::kCouldNotLoadCode);
            return 0;
        case platform::FileRead::kRead:
        case platform::FileRead::kFailed:  // the bytes read so far: the codec tells where they end
            break;
    }
    codec::CodeFile file;
    codec::CodeFileError error = codec::ReadCodeFile(bytes, file);
    if (error != codec::CodeFileError::None) {
        ShowRunnerBox(ReadFailureText(error));
        return 0;
    }
    bytes = std::vector<uint8_t>();  // the text is copied once more below
    return RunFile(run, file);
}

}  // namespace

int RunDecodedCodeFile(codec::CodeFile file, const std::string& fileName,
                       std::vector<std::string> arguments) {
    try {
        lastCodeOutcome = TALLOW_CODE_UNUSABLE;
        CodeRun run;
        SetArguments(run.program, fileName, std::move(arguments));
        return RunFile(run, file);
    } catch (...) {
        return 1;
    }
}

}  // namespace tallow

extern "C" {

// reserved is accepted and not used.
TALLOW_EXPORT int TALLOW_API RunTallowCode(const char* commandLine, int32_t reserved) {
    (void)reserved;
    try {
        return tallow::RunCodeFile(commandLine);
    } catch (...) {
        return 1;
    }
}

TALLOW_EXPORT int TALLOW_API GetCodeRunOutcome(void) {
    return tallow::lastCodeOutcome;
}

TALLOW_EXPORT int TALLOW_API GetLastCodeRunError(char* message, int messageSize, int* line, int* column,
                                                 int* kind, char* token, int tokenSize) {
    if (tallow::lastCodeOutcome != TALLOW_RUN_FAILED) return 0;
    return tallow::api::CopyRunError(tallow::lastCodeError, message, messageSize, line, column, kind, token,
                                     tokenSize);
}

TALLOW_EXPORT int TALLOW_API GetLastCodeRunErrorNote(int index, char* note, int noteSize, int* line,
                                                     int* column) {
    if (tallow::lastCodeOutcome != TALLOW_RUN_FAILED) return 0;
    return tallow::api::CopyRunErrorNote(tallow::lastCodeError, index, note, noteSize, line, column);
}

}  // extern "C"
