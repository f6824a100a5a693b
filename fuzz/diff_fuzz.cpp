// Fuzz target: the fast paths against plain reading. Each input runs in two
// fresh programs, one with everything the engine remembers and compiles
// about places in the text, one reading every statement from the text; each
// program runs the text twice, so the second run meets what the first left
// remembered. The two must agree on all a script or its host can see: the
// printed output, the results of Run, the exit codes, how each run ended and
// where its error was (line, column and token), and the error and
// warning boxes in their order (their texts carry ErrMsg$ and ErrLine#).
// Any difference aborts.
//
// Both programs start alike: the same random seed, an empty working folder,
// a Heap object that refuses every allocation (the allocator's addresses
// differ between them), and a thread stack so large that the nesting limit,
// never the end of the stack, stops deep recursion.
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/program.h"
#include "fuzz/fuzz_environment.h"
#include "objects/heap_blocks.h"

namespace {

// Longest text that is also run a second time on the same program.
constexpr size_t kRerunLimit = 4096;
// The seed of rnd in both programs.
constexpr uint32_t kRandomSeed = 12345;
// Stack of the thread that runs the programs: far more than kMaxNesting
// levels of the deepest native recursion need, even with sanitizers.
constexpr size_t kRunStack = size_t(512) << 20;
// Bytes of each output kept for the report of a difference.
constexpr size_t kOutputHead = 2048;

// One run of a program.
struct RunOutcome {
    int result = -1;  // Program::Run, or -1 when it threw
    int exitCode = 0;
    std::vector<std::string> boxes;  // "caption: text" of every box, in order
    // How the run ended and where its error was: line, column and token.
    int outcome = 0;
    std::string error;

    bool operator==(const RunOutcome&) const = default;
};

// One program: its runs and all it printed across them.
struct ProgramOutcome {
    std::vector<RunOutcome> runs;
    uint64_t outputHash = 14695981039346656037ull;  // FNV-1a
    uint64_t outputSize = 0;
    std::string outputHead;

    bool SameAs(const ProgramOutcome& o) const {
        return runs == o.runs && outputHash == o.outputHash && outputSize == o.outputSize;
    }
    void AddOutput(const char* data, size_t n) {
        for (size_t i = 0; i < n; ++i)
            outputHash = (outputHash ^ uint8_t(data[i])) * 1099511628211ull;
        if (outputHead.size() < kOutputHead)
            outputHead.append(data, std::min(n, kOutputHead - outputHead.size()));
        outputSize += n;
    }
};

// The boxes of the run in progress; the observer is process-wide.
std::vector<std::string>* gBoxes = nullptr;

void RecordBox(void*, std::string_view text, std::string_view caption) {
    if (gBoxes) gBoxes->push_back(std::string(caption) + ": " + std::string(text));
}

// A thread with a large stack that runs one job at a time for the caller.
class Worker {
public:
    Worker() {
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setstacksize(&attr, kRunStack);
        if (pthread_create(&thread_, &attr, &Worker::Main, this) != 0) std::abort();
        pthread_attr_destroy(&attr);
    }

    // Hands job to the thread; Wait() returns once it is done.
    void Start(std::function<void()> job) {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(job);
        done_ = false;
        changed_.notify_all();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return done_; });
    }

private:
    static void* Main(void* self) {
        static_cast<Worker*>(self)->Loop();
        return nullptr;
    }
    void Loop() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return bool(job_); });
                job = std::move(job_);
                job_ = nullptr;
            }
            job();
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
            changed_.notify_all();
        }
    }

    pthread_t thread_{};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool done_ = true;
};

Worker* gWorker = nullptr;

// Runs text in a fresh program, once or twice, on the worker thread; the
// output goes through a pipe that this thread drains meanwhile.
ProgramOutcome RunProgram(const std::string& text, bool fastPaths) {
    ProgramOutcome outcome;
    tallow::fuzz::ResetFolder();
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    gWorker->Start([&] {
        {
            tallow::Program program;
            program.SetFastPaths(fastPaths);
            program.statementLimit = tallow::fuzz::kStatementBudget;
            program.SetMemoryLimit(tallow::fuzz::kMemoryBudget);
            program.randomGenerator.Seed(kRandomSeed);
            program.stdinHandle = tallow::fuzz::NullInputHandle();
            program.stdoutHandle = tallow::platform::HandleFromFd(fds[1]);
            program.handlesGiven = true;
            // Heap addresses are the allocator's, different in each program.
            program.heapBlocks->refuseAllocation = true;
            int runs = text.size() < kRerunLimit ? 2 : 1;
            for (int i = 0; i < runs; ++i) {
                RunOutcome& run = outcome.runs.emplace_back();
                gBoxes = &run.boxes;
                try {
                    run.result = program.Run(text.c_str());
                } catch (...) {
                    run.result = -1;
                }
                run.exitCode = program.exitCode;
                run.outcome = int(program.Outcome());
                if (program.Outcome() == tallow::RunOutcome::Failed) {
                    const tallow::ErrorReport& e = program.LastRunError();
                    run.error = std::to_string(e.line) + ":" + std::to_string(e.column) + ": " + e.message +
                                " '" + e.token + "' kind " + std::to_string(e.kind);
                }
                gBoxes = nullptr;
            }
        }
        close(fds[1]);
    });
    char buffer[65536];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            outcome.AddOutput(buffer, size_t(n));
        else if (errno != EINTR)
            std::abort();
    }
    gWorker->Wait();
    close(fds[0]);
    return outcome;
}

void Describe(const char* title, const ProgramOutcome& o) {
    std::fprintf(stderr, "---- %s: %llu bytes of output, hash %016llx\n", title,
                 (unsigned long long)o.outputSize, (unsigned long long)o.outputHash);
    std::fprintf(stderr, "output begins: \"%s\"\n", o.outputHead.c_str());
    for (size_t i = 0; i < o.runs.size(); ++i) {
        const RunOutcome& r = o.runs[i];
        std::fprintf(stderr, "run %zu: Run() %d, exit code %d, outcome %d, error %s, %zu boxes\n", i + 1,
                     r.result, r.exitCode, r.outcome, r.error.c_str(), r.boxes.size());
        for (const std::string& box : r.boxes)
            std::fprintf(stderr, "  box: %s\n", box.c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tallow::fuzz::SetUpEnvironment("diff", RecordBox, nullptr);
    gWorker = new Worker();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = tallow::fuzz::ScriptText(data, size);
    ProgramOutcome fast = RunProgram(text, true);
    ProgramOutcome plain = RunProgram(text, false);
    if (!fast.SameAs(plain)) {
        std::fprintf(stderr, "diff_fuzz: the fast paths and plain reading disagree\n");
        Describe("fast paths on", fast);
        Describe("fast paths off", plain);
        std::abort();
    }
    return 0;
}
