// Starting programs on Linux: posix_spawnp with an argument vector, the
// process's standard handles (or a capture file) as the child's descriptors
// 0 to 2, and children started without a wait reaped once they end.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "platform/command_words.h"
#include "platform/confinement.h"
#include "platform/console.h"
#include "platform/posix/gui_module_posix.h"

extern char** environ;

namespace tallow::platform {

namespace {

constexpr int kNoDescriptor = -1;

Handle HandleFromPid(pid_t pid) {
    return reinterpret_cast<Handle>(intptr_t(pid));
}
pid_t PidFromHandle(Handle handle) {
    return pid_t(reinterpret_cast<intptr_t>(handle));
}

// Children that nobody waits for. Each is reaped once it has ended, at the
// next start, so none stays behind as a zombie for long.
std::mutex gLooseMutex;
std::vector<pid_t> gLoose;

// Reaps pid if it has ended; true when it is gone.
bool Reaped(pid_t pid) {
    pid_t result = ::waitpid(pid, nullptr, WNOHANG);
    return result != 0;  // ended, or no child of ours any more
}

void ReapLoose() {
    std::lock_guard lock(gLooseMutex);
    std::erase_if(gLoose, Reaped);
}

void AddLoose(pid_t pid) {
    if (Reaped(pid)) return;
    std::lock_guard lock(gLooseMutex);
    gLoose.push_back(pid);
}

// How often a wait for a child looks again while it dispatches the
// desktop's events.
constexpr int kExitPollMs = 15;

// The exit code of a child that ended; 128 plus the signal's number for one
// a signal ended, as shells report it. While a desktop is in use its
// windows keep answering meanwhile.
int WaitForExit(pid_t pid) {
    int status = 0;
    for (;;) {
        pid_t ended = ::waitpid(pid, &status, LoadedGuiModule() ? WNOHANG : 0);
        if (ended == pid) break;
        if (ended < 0 && errno != EINTR) return kNotStarted;
        if (ended == 0) PollPumping(nullptr, 0, kExitPollMs);
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return kNotStarted;
}

// What posix_spawn needs besides the arguments: the child's standard
// descriptors and a clean signal state (no blocked signals, SIGPIPE at its
// default, whatever the host set for itself).
class SpawnSetup {
public:
    explicit SpawnSetup(CaptureFile* capture) {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
        sigset_t none, pipe;
        sigemptyset(&none);
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &pipe);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        // The process's standard handles are the engine's pair, which a
        // redirecting host may have pointed elsewhere than 0 and 1.
        int input = FdFromHandle(StdInput());
        int output = capture && capture->IsOpen() ? FdFromHandle(capture->Get()) : FdFromHandle(StdOutput());
        // An output on descriptor 0 moves before the input takes its place.
        if (output == 0) Move(output, 1);
        Move(input, 0);
        if (output != 0) Move(output, 1);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    void Move(int from, int to) {
        if (from >= 0 && from != to) posix_spawn_file_actions_adddup2(&actions, from, to);
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// Starts words[0] along PATH with words as its arguments; false when it
// cannot be started (no words, no such program, not allowed, confined).
bool Spawn(const std::vector<std::string>& words, CaptureFile* capture, pid_t& pid) {
    if (words.empty() || Confined()) return false;
    ReapLoose();
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    SpawnSetup setup(capture);
    return posix_spawnp(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(), environ) == 0;
}

int SpawnWait(const std::vector<std::string>& words, CaptureFile* capture) {
    pid_t pid;
    if (!Spawn(words, capture, pid)) return kNotStarted;
    return WaitForExit(pid);
}

std::optional<Process> SpawnLoose(const std::vector<std::string>& words) {
    pid_t pid;
    if (!Spawn(words, nullptr, pid)) return std::nullopt;
    return Process(HandleFromPid(pid));
}

// Where capture files go: TMPDIR when set, else /tmp.
std::string TempFolder() {
    const char* dir = ::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

int OpenUnlinkedFile(std::string folder) {
    std::string path = folder + "/tallow-capture-XXXXXX";
    int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(path.c_str());
    return fd;
}

}  // namespace

// ---- Capture file --------------------------------------------------------------

CaptureFile::CaptureFile() : handle_(HandleFromFd(kNoDescriptor)) {
    if (Confined()) return;  // nothing will start to write to it
    int fd = OpenUnlinkedFile(TempFolder());
    if (fd < 0) fd = OpenUnlinkedFile("/tmp");
    if (fd >= 0) handle_ = HandleFromFd(fd);
}

CaptureFile::~CaptureFile() {
    if (IsOpen()) ::close(FdFromHandle(handle_));
}

bool CaptureFile::IsOpen() const {
    return FdFromHandle(handle_) >= 0;
}

size_t CaptureFile::Size() const {
    struct stat info;
    if (!IsOpen() || ::fstat(FdFromHandle(handle_), &info) != 0) return 0;
    return size_t(info.st_size);
}

std::string CaptureFile::ReadAll() {
    std::string bytes;
    if (!IsOpen()) return bytes;
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        ssize_t n = ::pread(FdFromHandle(handle_), buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, size_t(n));
        offset += n;
    }
    return bytes;
}

// ---- Running to the end ---------------------------------------------------------

int RunShellCommand(std::string_view command, CaptureFile* capture) {
    return SpawnWait({"/bin/sh", "-c", std::string(command)}, capture);
}

int SpawnAndWait(const std::vector<std::string>& words, CaptureFile* capture) {
    return SpawnWait(words, capture);
}

// ---- Programs on their own --------------------------------------------------------

Process::~Process() {
    if (id_) AddLoose(PidFromHandle(id_));
}

void Process::Wait() {
    if (!id_) return;
    WaitForExit(PidFromHandle(id_));
    id_ = nullptr;
}

std::optional<Process> StartCommandLine(std::string_view commandLine) {
    return SpawnLoose(SplitCommandWords(commandLine));
}

std::optional<Process> OpenDocument(std::string_view file, std::string_view verb) {
    std::string verbText = verb.empty() ? "open" : std::string(verb);  // as the shell's default verb
    std::vector<std::string> words;
    if (::strcasecmp(verbText.c_str(), "open") == 0) {
        words = {"xdg-open"};
    } else if (::strcasecmp(verbText.c_str(), "print") == 0) {
        words = {"lp"};
    } else if (::strcasecmp(verbText.c_str(), "edit") == 0) {
        std::string editor = GetEnvironment("VISUAL");
        if (editor.empty()) editor = GetEnvironment("EDITOR");
        words = SplitCommandWords(editor);
        if (words.empty()) return std::nullopt;
    } else {
        return std::nullopt;
    }
    words.emplace_back(file);
    return SpawnLoose(words);
}

// ---- Environment -------------------------------------------------------------------

void PutEnvironment(std::string_view assignment) {
    size_t equals = assignment.find('=');
    if (Confined() || equals == std::string_view::npos || equals == 0) return;
    std::string name(assignment.substr(0, equals));
    std::string value(assignment.substr(equals + 1));
    if (value.empty())
        ::unsetenv(name.c_str());
    else
        ::setenv(name.c_str(), value.c_str(), 1);
}

std::string GetEnvironment(std::string_view name) {
    const char* value = ::getenv(std::string(name).c_str());
    return value ? value : "";
}

}  // namespace tallow::platform
