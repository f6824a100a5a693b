// Starting programs on Windows: CreateProcessA for command lines and word
// lists, ShellExecuteExA for documents, a delete-on-close temporary file for
// captured output, and waits that keep the thread's window messages flowing.
#include "platform/process.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

#include "platform/command_words.h"
#include "platform/confinement.h"
#include "platform/win32/unique_handle_win32.h"

namespace tallow::platform {

namespace {

// An inheritable copy of one of the process's standard handles, for a child;
// none when the process has none there (the child then has none either).
UniqueKernelHandle InheritableStdHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    HANDLE copy = nullptr;
    if (handle && handle != INVALID_HANDLE_VALUE)
        DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                        DUPLICATE_SAME_ACCESS);
    return UniqueKernelHandle(copy);
}

// The process's standard output pointed at a capture file for as long as it
// lives, so that whatever a child takes from the process's standard handles
// goes there too; the old handle is back afterwards.
class StdOutputSwap {
public:
    explicit StdOutputSwap(CaptureFile* capture)
        : saved_(GetStdHandle(STD_OUTPUT_HANDLE)), active_(capture && capture->IsOpen()) {
        if (active_) SetStdHandle(STD_OUTPUT_HANDLE, capture->Get());
    }
    ~StdOutputSwap() {
        if (active_) SetStdHandle(STD_OUTPUT_HANDLE, saved_);
    }
    StdOutputSwap(const StdOutputSwap&) = delete;
    StdOutputSwap& operator=(const StdOutputSwap&) = delete;

private:
    HANDLE saved_;
    bool active_;
};

// Starts commandLine with the process's standard handles (its output the
// capture, when given) and waits for it: the exit code, or kNotStarted.
int RunAndWait(std::string commandLine, CaptureFile* capture) {
    if (Confined()) return kNotStarted;
    StdOutputSwap swap(capture);
    UniqueKernelHandle input = InheritableStdHandle(STD_INPUT_HANDLE);
    UniqueKernelHandle output = InheritableStdHandle(STD_OUTPUT_HANDLE);
    UniqueKernelHandle error = InheritableStdHandle(STD_ERROR_HANDLE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output.Get();
    startup.hStdError = error.Get();
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info))
        return kNotStarted;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(info.hProcess, &code)) return kNotStarted;
    return int(code);
}

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos;
}

// The program file that base names: as written when it has an extension,
// else with the first of the runtime's executable extensions that exists.
// Found as a full path, so that CreateProcessA searches no further.
bool FindWithExtension(const std::string& base, std::string& found) {
    static const char* const kExtensions[] = {".com", ".exe", ".bat", ".cmd"};
    std::string candidate;
    if (HasExtension(base)) {
        if (IsFile(base)) candidate = base;
    } else {
        for (const char* extension : kExtensions)
            if (IsFile(base + extension)) {
                candidate = base + extension;
                break;
            }
    }
    if (candidate.empty()) return false;
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(candidate.c_str(), sizeof full, full, nullptr);
    found = length > 0 && length < sizeof full ? std::string(full, length) : candidate;
    return true;
}

// Looks for a program as the runtime's spawn does: a name with a directory
// or drive where it says, any other in the current folder and then in each
// folder of PATH.
bool FindProgram(const std::string& name, std::string& found) {
    if (name.empty()) return false;
    if (name.find_first_of("\\/:") != std::string::npos) return FindWithExtension(name, found);
    if (FindWithExtension(name, found)) return true;
    std::string path = GetEnvironment("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(';', start);
        if (end == std::string::npos) end = path.size();
        std::string folder = path.substr(start, end - start);
        start = end + 1;
        if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
            folder = folder.substr(1, folder.size() - 2);
        if (folder.empty()) continue;
        if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
        if (FindWithExtension(folder + name, found)) return true;
    }
    return false;
}

// Waits for the process with the thread's window messages dispatched. A quit
// message ends the wait and is posted again for the thread's own loop.
void WaitPumping(HANDLE process) {
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or the wait failed
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(int(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

// ---- Capture file --------------------------------------------------------------

// Inheritable, so the child can have it; deleted by the system once the
// last handle to it closes.
CaptureFile::CaptureFile() : handle_(INVALID_HANDLE_VALUE) {
    if (Confined()) return;  // nothing will start to write to it
    char folder[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) return;
    char name[MAX_PATH + 1];
    if (!GetTempFileNameA(folder, "tal", 0, name)) return;
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    handle_ = CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &security, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_DELETE_ON_CLOSE,
                          nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) DeleteFileA(name);
}

CaptureFile::~CaptureFile() {
    if (IsOpen()) CloseHandle(handle_);
}

bool CaptureFile::IsOpen() const {
    return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr;
}

size_t CaptureFile::Size() const {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(handle_, &size)) return 0;
    return size_t(size.QuadPart);
}

std::string CaptureFile::ReadAll() {
    std::string bytes;
    LARGE_INTEGER start = {};
    if (!IsOpen() || !SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN)) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(handle_, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

// ---- Running to the end ---------------------------------------------------------

int RunShellCommand(std::string_view command, CaptureFile* capture) {
    std::string interpreter = GetEnvironment("COMSPEC");
    if (interpreter.empty()) interpreter = "cmd.exe";
    return RunAndWait(QuoteCommandWord(interpreter) + " /c " + std::string(command), capture);
}

int SpawnAndWait(const std::vector<std::string>& words, CaptureFile* capture) {
    std::string program;
    if (words.empty() || !FindProgram(words[0], program)) return kNotStarted;
    std::vector<std::string> arguments = words;
    arguments[0] = program;
    return RunAndWait(JoinCommandWords(arguments), capture);
}

// ---- Programs on their own --------------------------------------------------------

Process::~Process() {
    if (id_) CloseHandle(id_);
}

void Process::Wait() {
    if (!id_) return;
    WaitPumping(id_);
    CloseHandle(id_);
    id_ = nullptr;
}

std::optional<Process> StartCommandLine(std::string_view commandLine) {
    if (Confined()) return std::nullopt;
    std::string line(commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &info))
        return std::nullopt;
    CloseHandle(info.hThread);
    return Process(info.hProcess);
}

// The shell may hand the document to a program already running: then it
// succeeds without a process to wait for.
std::optional<Process> OpenDocument(std::string_view file, std::string_view verb) {
    if (Confined()) return std::nullopt;
    std::string fileText(file);
    std::string verbText(verb);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verbText.c_str();
    info.lpFile = fileText.c_str();
    info.nShow = SW_SHOW;
    if (!ShellExecuteExA(&info)) return std::nullopt;
    return Process(info.hProcess);
}

// ---- Environment -------------------------------------------------------------------

// Both copies change: the runtime's (for getenv in this process and the
// runtime's own spawns) and the system's (for CreateProcess).
void PutEnvironment(std::string_view assignment) {
    size_t equals = assignment.find('=');
    if (Confined() || equals == std::string_view::npos || equals == 0) return;
    std::string text(assignment);
    std::string name = text.substr(0, equals);
    std::string value = text.substr(equals + 1);
    _putenv(text.c_str());
    SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

std::string GetEnvironment(std::string_view name) {
    std::string key(name);
    for (;;) {
        DWORD size = GetEnvironmentVariableA(key.c_str(), nullptr, 0);
        if (size == 0) return "";
        std::string value(size, '\0');
        DWORD length = GetEnvironmentVariableA(key.c_str(), value.data(), size);
        if (length < size) {
            value.resize(length);
            return value;
        }
    }
}

}  // namespace tallow::platform
