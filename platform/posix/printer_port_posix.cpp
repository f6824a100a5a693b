// Printer ports on Linux. The printer device names go to the default print
// queue through the lp command, started at the first text written, so that
// a program that prints nothing submits no job. Other names are files.
#include "platform/confinement.h"
#include "platform/printer_port.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace tallow::platform {

namespace {

// Bytes gathered before they go down the pipe to lp.
constexpr size_t kPipeChunk = 4096;
// Where lp is looked for when PATH is not set.
constexpr const char kDefaultPath[] = "/usr/bin:/bin";

// The lp executable in a directory of PATH, or "". Only absolute entries
// count: a relative one would follow the script's current directory.
std::string FindLp() {
    const char* env = std::getenv("PATH");
    std::string dirs = env ? env : kDefaultPath;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        start = end + 1;
        if (dir.empty() || dir[0] != '/') continue;
        std::string candidate = dir + "/lp";
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::string();
}

// Writes all bytes to a pipe whose reader may be gone. The SIGPIPE that
// would end the whole process is held back while writing and taken away
// again, so the write simply fails.
bool WriteToPipe(int fd, const char* data, size_t size) {
    sigset_t pipeSignal, previous, pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigpending(&pending);
    bool alreadyPending = sigismember(&pending, SIGPIPE);
    bool ok = true;
    int error = 0;
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            error = errno;
            break;
        }
        data += n;
        size -= size_t(n);
    }
    if (!ok && error == EPIPE && !alreadyPending) {
        struct timespec zero = {0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &zero) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

// A pipe to "lp -s" (silent: no request id on standard output). The job is
// submitted when the port closes the pipe; the port waits for lp then.
class LpPort : public PrinterPort {
public:
    explicit LpPort(std::string lp) : lp_(std::move(lp)) {}
    ~LpPort() override {
        Flush();
        if (fd_ >= 0) ::close(fd_);
        if (pid_ > 0) {
            while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
    }
    LpPort(const LpPort&) = delete;
    LpPort& operator=(const LpPort&) = delete;

    bool Write(std::string_view bytes) override {
        if (bytes.empty()) return !failed_;
        if (fd_ < 0 && !failed_ && !Start()) failed_ = true;
        if (failed_) return false;
        buffer_.append(bytes);
        return buffer_.size() < kPipeChunk || Flush();
    }

private:
    bool Start() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        char silent[] = "-s";
        char* argv[] = {lp_.data(), silent, nullptr};
        int rc = ::posix_spawn(&pid_, lp_.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[0]);
        if (rc != 0) {
            ::close(fds[1]);
            pid_ = -1;
            return false;
        }
        fd_ = fds[1];
        return true;
    }

    bool Flush() {
        if (buffer_.empty() || fd_ < 0) return !failed_;
        if (!failed_ && !WriteToPipe(fd_, buffer_.data(), buffer_.size())) failed_ = true;
        buffer_.clear();
        return !failed_;
    }

    std::string lp_;
    std::string buffer_;
    pid_t pid_ = -1;
    int fd_ = -1;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<PrinterPort> OpenPrinterPort(const std::string& name) {
    if (!IsPrinterDeviceName(name)) return OpenPrinterFile(name);
    if (Confined()) return nullptr;
    std::string lp = FindLp();
    if (lp.empty()) return nullptr;
    return std::make_unique<LpPort>(std::move(lp));
}

}  // namespace tallow::platform
