// Starting programs and the shell's verb, and watching them end.
#include "ide/win32/program_starter.h"

#include <shellapi.h>

namespace tallow::ide::win32 {

namespace {

// Adds variables to this process's environment while it lives, so that the
// programs started meanwhile inherit them; the old values come back after.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const Environment& env) {
        for (const auto& [name, value] : env) {
            char old[4096];
            DWORD length = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
            bool had = length > 0 && length < sizeof old;
            saved_.push_back({name, had ? std::string(old, length) : std::string(), had});
            SetEnvironmentVariableA(name.c_str(), value.c_str());
        }
    }
    ~ScopedEnvironment() {
        for (const Saved& s : saved_)
            SetEnvironmentVariableA(s.name.c_str(), s.had ? s.value.c_str() : nullptr);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    struct Saved {
        std::string name, value;
        bool had;
    };
    std::vector<Saved> saved_;
};

std::string ClassesDefault(const std::string& key) {
    char value[1024] = {};
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return {};
    return value;
}

StartOutcome Failed(DWORD code) {
    StartOutcome outcome;
    outcome.error = SystemErrorText(code);
    return outcome;
}

}  // namespace

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : std::string();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    if (message.empty()) message = "system error " + std::to_string(code);
    if (message.back() != '.') message += '.';
    return message;
}

bool ShellOpensCodeFiles() {
    std::string type = ClassesDefault(".cod");
    return !type.empty() && !ClassesDefault(type + "\\shell\\open\\command").empty();
}

StartOutcome OpenWithShellVerb(const std::string& path, const std::string& folder, const Environment& env) {
    ScopedEnvironment scoped(env);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = path.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        DWORD code = GetLastError();
        StartOutcome outcome = Failed(code);
        outcome.noAssociation =
            code == ERROR_NO_ASSOCIATION || reinterpret_cast<INT_PTR>(info.hInstApp) == SE_ERR_NOASSOC;
        return outcome;
    }
    StartOutcome outcome;
    outcome.started = true;
    outcome.process.Reset(info.hProcess);
    return outcome;
}

StartOutcome StartProcess(const std::string& application, const std::string& commandLine,
                          const std::string& folder, const Environment& env, bool hideConsole) {
    ScopedEnvironment scoped(env);
    std::string writable = commandLine;  // CreateProcessA may write into it
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    // A program with a window of its own gets no standard handles, as from
    // the desktop: Wine would otherwise hand it those of the terminal that
    // started TallowEdit, and a script would print there instead of in a
    // console of its own.
    if (!hideConsole) startup.dwFlags |= STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), writable.data(), nullptr,
                        nullptr, FALSE, hideConsole ? CREATE_NO_WINDOW : 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return Failed(GetLastError());
    UniqueKernelHandle thread(process.hThread);
    StartOutcome outcome;
    outcome.started = true;
    outcome.process.Reset(process.hProcess);
    return outcome;
}

void ProcessWatch::Add(UniqueKernelHandle process, Ended ended) {
    if (process) watched_.emplace_back(std::move(process), std::move(ended));
}

void ProcessWatch::Poll() {
    for (size_t i = 0; i < watched_.size();) {
        if (WaitForSingleObject(watched_[i].first.Get(), 0) != WAIT_OBJECT_0) {
            ++i;
            continue;
        }
        DWORD code = 0;
        GetExitCodeProcess(watched_[i].first.Get(), &code);
        Ended ended = std::move(watched_[i].second);
        watched_.erase(watched_.begin() + static_cast<std::ptrdiff_t>(i));
        if (ended) ended(code);
    }
}

}  // namespace tallow::ide::win32
