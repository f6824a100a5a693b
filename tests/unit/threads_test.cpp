// Programs on several threads at once, through the C interface only: each
// thread makes its own programs with a host object, runs a script that loops,
// builds text, fills and sorts arrays, evaluates text, catches an error that
// its host raised, and destroys them; other threads run one-shot buffers
// meanwhile. The results must be each thread's own. Under ThreadSanitizer
// (tools/tsan.sh) these tests also find state that programs share unguarded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tallow.h"

namespace {

constexpr int kThreads = 4;
constexpr int kProgramsPerThread = 3;
constexpr int kLoopCount = 150;

// What one program's host object saw; its TallowValue data points here.
struct HostRecord {
    int seed = 0;
    int creates = 0;
    int destroys = 0;
    char text[512] = "";
};

constexpr char kRecordProperty[] = "record";
enum { kPut = 1, kFail };
enum { kSeed = 1 };

HostRecord* RecordOf(TallowObjectHandle object) {
    return reinterpret_cast<HostRecord*>(GetProperty(object, kRecordProperty));
}

int TALLOW_ENTRY Create(TallowObjectHandle object, TallowValue data, const char** statements,
                        const char** numberFunctions, const char**) {
    auto* record = reinterpret_cast<HostRecord*>(data);
    ++record->creates;
    SetProperty(object, kRecordProperty, data);
    *statements = "put\0fail\0";
    *numberFunctions = "seed\0";
    return 1;
}

int TALLOW_ENTRY Destroy(TallowObjectHandle, TallowValue data) {
    ++reinterpret_cast<HostRecord*>(data)->destroys;
    return 1;
}

// put strexpr: keeps the text. fail: raises a catchable error. Only trivially
// destructible locals: a raised error jumps past this frame.
int TALLOW_ENTRY Statement(TallowObjectHandle object, int id) {
    HostRecord* record = RecordOf(object);
    if (id == kPut) {
        HasFirstParam(object, 1);
        EvalString(object, record->text, sizeof record->text);
    } else if (id == kFail) {
        ThrowError(object, 1, "host failed");
    }
    return 1;
}

int TALLOW_ENTRY NumberFunction(TallowObjectHandle object, int id, double* result) {
    if (id == kSeed) *result = RecordOf(object)->seed;
    return 1;
}

int TALLOW_ENTRY StringFunction(TallowObjectHandle, int, const char**) {
    return 1;
}

// The script each program runs; its results depend on the host's seed k.
const std::string kScript =
    "proc tri# n#\r\n"
    "  if n# < 1 then\r\n"
    "    Result# = 0\r\n"
    "    exit\r\n"
    "  endif\r\n"
    "  Result# = n# + tri(n# - 1)\r\n"
    "endproc\r\n"
    "k# = host.seed()\r\n"
    "new words as stringarray\r\n"
    "new nums as numarray\r\n"
    "s$ = \"\"\r\n"
    "for i# = 1 to " +
    std::to_string(kLoopCount) +
    "\r\n"
    "  s$ = s$ + chr(65 + (i# + k#) % 26)\r\n"
    "  words.add str(i# * k#)\r\n"
    "  nums.add i# * k#\r\n"
    "next\r\n"
    "words.sort\r\n"
    "try\r\n"
    "  host.fail\r\n"
    "catch\r\n"
    "  e$ = ErrMsg$\r\n"
    "endtry\r\n"
    "eval \"proc sq# v#\" + 13 + \"Result# = v# * v#\" + 13 + \"endproc\" + 13 + \"r# = sq(\" + str(k#) + "
    "\")\"\r\n"
    "host.put left(s$, 5) + \"|\" + words$[1] + \"|\" + str(nums.total#) + \"|\" + e$ + \"|\" + str(r#)\r\n"
    "exit k# + tri(10)\r\n";

// What the script puts for seed k, computed here.
std::string Expected(int k) {
    std::string letters;
    for (int i = 1; i <= 5; ++i)
        letters += char(65 + (i + k) % 26);
    std::vector<std::string> words;
    for (int i = 1; i <= kLoopCount; ++i)
        words.push_back(std::to_string(i * k));
    long total = long(k) * kLoopCount * (kLoopCount + 1) / 2;
    return letters + "|" + *std::min_element(words.begin(), words.end()) + "|" + std::to_string(total) +
           "|host failed|" + std::to_string(k * k);
}

struct ProgramResult {
    int exitCode = -1;
    HostRecord record;
};

// One thread: kProgramsPerThread programs one after the other, each with its
// own seed.
void RunPrograms(int thread, std::vector<ProgramResult>& results) {
    for (int i = 0; i < kProgramsPerThread; ++i) {
        ProgramResult& result = results[size_t(i)];
        result.record.seed = 3 + thread * kProgramsPerThread + i;
        TallowProgramHandle program = CreateProgram();
        if (!program) return;
        InsertObject("host", reinterpret_cast<TallowValue>(&result.record), program, Create, Destroy,
                     Statement, NumberFunction, StringFunction);
        result.exitCode = RunProgram(program, kScript.c_str());
        DestroyProgram(program);
    }
}

TEST(Threads, ProgramsWithHostObjectsRunSideBySide) {
    SetUnattended(1);
    std::vector<std::vector<ProgramResult>> results(kThreads, std::vector<ProgramResult>(kProgramsPerThread));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(RunPrograms, t, std::ref(results[size_t(t)]));
    for (std::thread& t : threads)
        t.join();
    for (const auto& perThread : results) {
        for (const ProgramResult& r : perThread) {
            SCOPED_TRACE("seed " + std::to_string(r.record.seed));
            EXPECT_EQ(r.exitCode, r.record.seed + 55);
            EXPECT_EQ(std::string(r.record.text), Expected(r.record.seed));
            EXPECT_EQ(r.record.creates, 1);
            EXPECT_EQ(r.record.destroys, 1);
        }
    }
}

TEST(Threads, OneShotBuffersBesidePrograms) {
    SetUnattended(1);
    std::vector<std::vector<ProgramResult>> results(2, std::vector<ProgramResult>(kProgramsPerThread));
    std::vector<int> codes(kThreads, -1);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back(RunPrograms, t, std::ref(results[size_t(t)]));
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &codes] {
            std::string text = "s$ = \"\"\r\nfor i# = 1 to " + std::to_string(100 + t) +
                               "\r\n  s$ = s$ + \"x\"\r\nnext\r\n"
                               "new a as stringarray\r\na.parsetok \"a,b,c\", \",\"\r\n"
                               "exit len(s$) + a.getsize()";
            codes[size_t(t)] = RunTallowBuffer(text.c_str());
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(codes[size_t(t)], 103 + t);
    for (const auto& perThread : results)
        for (const ProgramResult& r : perThread)
            EXPECT_EQ(std::string(r.record.text), Expected(r.record.seed));
}

// A budget ends only its own program's endless loop: the programs of even
// threads run out of statements before their exit, those of odd ones do not.
TEST(Threads, StatementBudgetsStayWithTheirPrograms) {
    SetUnattended(1);
    std::vector<int> codes(kThreads, -1);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &codes] {
            TallowProgramHandle program = CreateProgram();
            SetStatementLimit(program, t % 2 ? 5000 : 100);
            std::string text = "n# = 0\r\nwhile 1 = 1\r\n  n# = n# + 1\r\n  if n# > 200 then exit " +
                               std::to_string(t + 1) + " endif\r\nendwhile";
            codes[size_t(t)] = RunProgram(program, text.c_str());
            DestroyProgram(program);
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(codes[size_t(t)], t % 2 ? t + 1 : 0) << "thread " << t;
}

}  // namespace
