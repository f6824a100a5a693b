// Text built to exhaust the engine: long operator chains, deep nesting and
// many nested calls, on the default stack and on the 1 MB stack of a
// Windows thread. Each ends as a value or a script error, quickly.
#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/program.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

// Runs text in a fresh program on a thread with a stack of stackBytes and
// returns the first line of every box it showed, and what it printed into
// the variable out$ (read through a host-free trick: the last box).
struct Outcome {
    std::vector<std::string> boxes;
    double seconds = 0;
};

void Observe(void* context, std::string_view text, std::string_view) {
    auto* boxes = static_cast<std::vector<std::string>*>(context);
    boxes->emplace_back(text.substr(0, text.find('\n')));
}

struct Job {
    std::string text;
    Outcome outcome;
};

void* RunJob(void* arg) {
    auto* job = static_cast<Job*>(arg);
    platform::SetBoxObserver(Observe, &job->outcome.boxes);
    auto start = std::chrono::steady_clock::now();
    {
        Program program;
        program.Run(job->text.c_str());
    }
    job->outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    platform::SetBoxObserver(nullptr, nullptr);
    return nullptr;
}

Outcome RunOnStack(const std::string& text, size_t stackBytes) {
    Job job{text, {}};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stackBytes);
    pthread_t thread;
    EXPECT_EQ(pthread_create(&thread, &attr, RunJob, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    return job.outcome;
}

constexpr size_t kWindowsThreadStack = 1 << 20;
constexpr size_t kLinuxMainStack = 8 << 20;

std::string Repeat(const std::string& piece, int n) {
    std::string s;
    s.reserve(piece.size() * size_t(n));
    for (int i = 0; i < n; ++i)
        s += piece;
    return s;
}

// The text reports x# through a THROW, whose box carries the value.
std::string Report(const std::string& statements) {
    return statements + "\rthrow str(x#)\r";
}

TEST(Limits, LongPowerChainsEvaluateWithoutRecursion) {
    // 1^1^...^1, read as text (first pass) and compiled (second pass).
    std::string chain = "x# = 1" + Repeat("^1", 100000);
    for (size_t stack : {kLinuxMainStack, kWindowsThreadStack}) {
        int terms = stack == kLinuxMainStack ? 100000 : 20000;
        std::string text = "for i# = 1 to 2\rx# = 1" + Repeat("^1", terms) + "\rnext";
        Outcome o = RunOnStack(Report(text), stack);
        ASSERT_EQ(o.boxes.size(), 1u);
        EXPECT_EQ(o.boxes[0], "1");
    }
    Outcome o = RunOnStack(Report("x# = 2" + Repeat("-1", 100000)), kWindowsThreadStack);
    ASSERT_EQ(o.boxes.size(), 1u);
    EXPECT_EQ(o.boxes[0], "-99998");
}

TEST(Limits, DeepNestingEndsAsStackOverflow) {
    const std::vector<std::string> texts = {
        "x# = " + Repeat("(", 100000) + "1" + Repeat(")", 100000),
        "x# = " + Repeat("abs(", 65536) + "1" + Repeat(")", 65536),
        "x$ = " + Repeat("left(", 65536) + "\"a\"" + Repeat(", 1)", 65536),
        "dim a#[1]\rx# = " + Repeat("a#[", 50000) + "1" + Repeat("]", 50000),
        "proc f# n#\rResult# = f(n# + 1)\rendproc\rx# = f(1)",
        "proc g n#\rg n# + 1\rendproc\rg 1",
    };
    for (size_t stack : {kLinuxMainStack, kWindowsThreadStack}) {
        for (const std::string& text : texts) {
            // Twice over, so that the second pass runs what was compiled.
            Outcome o = RunOnStack("for i# = 1 to 2\r" + text + "\rnext", stack);
            ASSERT_FALSE(o.boxes.empty()) << text.substr(0, 40);
            EXPECT_EQ(o.boxes[0], "stack overflow") << text.substr(0, 40);
            // Linear in the text, so a statement budget bounds untrusted text.
            EXPECT_LT(o.seconds, 5.0) << text.substr(0, 40);
        }
        // Each nested run loads the registered extensions again: slower per
        // level, and still stopped at the limit.
        Outcome o = RunOnStack("e$ = \"eval e$\"\reval e$", stack);
        ASSERT_FALSE(o.boxes.empty());
        EXPECT_EQ(o.boxes[0], "stack overflow");
    }
}

TEST(Limits, LoopsLeftOpenByGotoStopAtTheirLimit) {
    for (const char* text :
         {"top:\rfor i# = 1 to 2\rgoto top", "top:\rwhile 1 = 1\rgoto top", "top:\rgosub top"}) {
        Outcome o = RunOnStack(text, kLinuxMainStack);
        ASSERT_EQ(o.boxes.size(), 1u) << text;
        EXPECT_EQ(o.boxes[0], "stack overflow") << text;
    }
}

}  // namespace
}  // namespace tallow

namespace tallow {
namespace {

std::vector<std::string> RunWithLimit(const std::string& text, size_t limit) {
    std::vector<std::string> boxes;
    platform::SetBoxObserver(Observe, &boxes);
    {
        Program program;
        program.SetMemoryLimit(limit);
        program.Run(text.c_str());
    }
    platform::SetBoxObserver(nullptr, nullptr);
    return boxes;
}

TEST(Limits, AProgramStaysWithinItsMemoryLimit) {
    constexpr size_t kLimit = size_t(16) << 20;
    // Arrays of kilobyte strings, growing by add, by addarray doubling, by
    // replaceall and as many variables made by eval: each ends in "out of
    // memory" near the limit (an eval's error ends only the evaluated text,
    // so that loop is bounded).
    const char* texts[] = {
        "s$ = string(\"x\", 1000)\rnew a as stringarray\rwhile 1 = 1\ra.add s$\rendwhile",
        "new a as stringarray\ra.add string(\"x\", 1000)\rwhile 1 = 1\ra.addarray a\rendwhile",
        "dim a$[40000]\ra$[1] = \"x\"\rwhile 1 = 1\rn# = a.replaceall(\"\", \"\")\r"
        "for i# = 1 to 40000\ra$[i#] = a$[i#] + string(\"x\", 100)\rnext\rendwhile",
        "i# = 0\rwhile i# < 3000\ri# = i# + 1\reval \"v\" + str(i#) + \"$ = string(\" + 34 + \"x\" + 34 + "
        "\", 20000)\"\rendwhile",
        "dim a$[60000000]",
    };
    for (const char* text : texts) {
        std::vector<std::string> boxes = RunWithLimit(text, kLimit);
        ASSERT_FALSE(boxes.empty()) << text;
        EXPECT_EQ(boxes.back(), "out of memory") << text;
    }
    // Below the limit nothing changes; without a limit the same text runs.
    EXPECT_TRUE(
        RunWithLimit("dim a$[1000]\rfor i# = 1 to 1000\ra$[i#] = string(\"x\", 1000)\rnext", kLimit).empty());
    EXPECT_TRUE(
        RunWithLimit("dim a$[1000]\rfor i# = 1 to 1000\ra$[i#] = string(\"x\", 1000)\rnext", 0).empty());
}

}  // namespace
}  // namespace tallow
