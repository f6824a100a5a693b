// One interpreter instance: the script text and its lexer, the object and
// factory registries, the keyword object, labels and procedures, the console
// handles and the exit code. Run() executes a script to its end.
#pragma once

#include <atomic>
#include <cassert>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/memory_meter.h"
#include "expr/evaluator.h"
#include "expr/lexer.h"
#include "expr/names.h"
#include "expr/operators.h"
#include "expr/random_generator.h"
#include "platform/handles.h"
#include "platform/stream_names.h"

namespace tallow {

class ScriptObject;
struct StatementPlan;
struct StatementBlock;
struct BlockStep;
class ObjectFactory;
class MainObject;
class SystemObject;
class LabelTable;
class ProcTable;
class StringArrayObject;
class NumArrayObject;
class ServiceObjects;
class ExtensionHost;
class HeapBlocks;
class TextMemory;
struct TextScope;

// The script exception. It carries nothing: what happened is in ErrMsg$,
// ErrLine# and the program's lastErrorKind.
struct ScriptError {};

// How the last run of a program ended.
enum class RunOutcome {
    None,    // no run yet, or one in progress
    Ended,   // the end of the text, exit, or EndProgram
    Failed,  // an error that no TRY caught (or no room for the text)
    Budget,  // the statement budget was spent
    Time,    // the time limit was reached
};

// A note on an error (see core/error_notes.h): its text, and the line and
// column it stands at (the error's own, or where a block that is never
// closed opens).
struct ErrorNote {
    std::string text;
    int line = 0;
    int column = 0;
};

// Where and what an error was, for hosts and the runner: the message as in
// ErrMsg$, its line and column (from 1; 0 when unknown), the token at fault
// as the text wrote it (empty when the error lies between tokens) and where
// it starts in the text, and for the error that ended a run its notes.
struct ErrorReport {
    std::string message;
    int line = 0;
    int column = 0;
    std::string token;
    int kind = 0;
    uint32_t place = 0;
    std::vector<ErrorNote> notes;
};

// Where a program's error boxes go: as the process says (the runner's
// setting, platform::ErrorBoxesToStdError), shown as boxes, or written to
// standard error as unattended boxes are. With Host, the error that ends a
// run is not shown at all, since the host reports it from LastRunError; the
// boxes the host cannot read afterwards (warnings, errors that end only an
// evaluated text) go to standard error.
enum class ErrorOutput { Process, Box, StdError, Host };

// Deepest nesting of native recursion a script may drive (procedure calls,
// parentheses, function arguments, nested runs): far beyond ordinary
// scripts, and within the 8 MB of a Linux main thread and the 16 MB the
// runner gives itself on Windows. A smaller stack (a host's thread) is
// guarded by its actual end instead.
constexpr int kMaxNesting = 5000;

class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs text to its end and cleans up, so the program can run again.
    // 1 when the script ended normally, 0 when an error aborted it. start is
    // where execution begins (procedures and labels are found in all of it).
    int Run(const char* text, uint32_t start = 0);
    // A session (an interactive prompt): runs keep the variables, arrays and
    // objects of the runs before them; each run's text is the session's text
    // so far, run from where the new part starts.
    bool keepState = false;
    // Empties the script's variables, arrays and objects (what a run's
    // clean-up does when no session keeps them).
    void ClearValues();
    bool IsRunning() const { return running_; }
    RunOutcome Outcome() const { return outcome_; }
    // The error that ended the last run (valid when its outcome is Failed).
    const ErrorReport& LastRunError() const { return lastRunError_; }
    // The error recorded last, in a run or by a reader called outside one.
    const ErrorReport& LastError() const { return lastError_; }
    // Makes text the program's current text, with its own procedures,
    // labels and an empty memory of places: what a run does first.
    void UseText(std::string_view text);
    // Runs text inside the running script with its own labels and procedures
    // (eval, evalarray). Errors in it are shown and swallowed.
    void RunNested(std::string_view text);
    // The statement loop: statements from the lexer's position to the end of
    // the text or a stop request; for a procedure body (body set) also up to
    // ENDPROC or a statement that starts with EXIT. entry predicts the first
    // statement from call to call. Errors that no TRY catches leave it.
    void RunStatements(bool body, StatementPlan* entry = nullptr);

    // Records the error in ErrMsg$ and ErrLine# and unwinds to the nearest
    // statement boundary. kind is kSyntaxKind or kRuntimeKind.
    [[noreturn]] void ReportError(int kind, std::string_view message);
    // As ReportError for kinds 0 and 1; a warning box that returns otherwise.
    void ReportMessage(int kind, std::string_view message);
    // The error box from ErrMsg$ and ErrLine#, where errorOutput sends it;
    // endsRun for the error that ends the run itself.
    void ShowErrorBox(bool fatal, bool endsRun = false);
    ErrorOutput errorOutput = ErrorOutput::Process;

    // In a session, an entry that is one expression rather than a statement
    // (`2 + 2`, `name$`, `a#[3]`) is evaluated instead of run; its value as
    // the language writes it stays here until the next run.
    const std::optional<std::string>& RunValue() const { return runValue_; }

    void OpenConsole();
    void CloseConsole();
    // The script's standard streams (its input and output, the process's
    // error) for a file statement's path, which may name one of them
    // (platform/stream_names.h); when it does, the console is opened first,
    // as print opens it.
    platform::StreamHandles StreamsFor(std::string_view path);

    // Registries. Names compare without regard to case.
    ScriptObject* FindObject(std::string_view name) const;
    ObjectFactory* FindFactory(std::string_view name) const;
    void RegisterObject(ScriptObject* object);
    void UnregisterObject(ScriptObject* object);
    void RegisterFactory(ObjectFactory* factory);
    void UnregisterFactory(ObjectFactory* factory);
    bool IsDynamic(ScriptObject* object) const { return dynamicObjects_.count(object) != 0; }
    void AddDynamic(ScriptObject* object, ObjectFactory* factory);
    // Takes a script-created object out of both registries and destroys it.
    void DestroyDynamic(ScriptObject* object);
    uint32_t RegistryGeneration() const { return registryGeneration_; }
    // The names of the registered objects and creatable types, in no order:
    // for tools that list what scripts can reach.
    std::vector<std::string> ObjectNames() const;
    std::vector<std::string> FactoryNames() const;

    // Arrays by name: only objects the script created with the array types.
    StringArrayObject* FindStringArray(std::string_view name) const;
    NumArrayObject* FindNumArray(std::string_view name) const;
    // Creates an empty array of that name, replacing a script-created object
    // of the name; "array name conflict" for any other object.
    StringArrayObject* ClearStringArray(std::string_view name);
    NumArrayObject* ClearNumArray(std::string_view name);

    // The nesting guard: every native recursion a script can drive enters it
    // (see NestingScope) and raises "stack overflow" past kMaxNesting levels
    // or near the end of the thread's stack.
    void EnterNesting(int levels = 1) {
        char probe;
        nesting_ += levels;
        if (nesting_ > kMaxNesting || reinterpret_cast<uintptr_t>(&probe) < stackFloor_)
            NestingOverflow(levels);
    }
    void LeaveNesting(int levels = 1) {
        nesting_ -= levels;
        assert(nesting_ >= 0);
    }
    // Levels left below the limit.
    int NestingRoom() const { return kMaxNesting - nesting_; }

    // The keyword id of a token's text, as the forward scans look it up;
    // remembered for the token's place.
    int KeywordOf(const Token& token);

    Lexer& Lex() { return *lexer_; }
    Evaluator& Eval() { return evaluator_; }
    MainObject& Main() { return *mainObject_; }
    LabelTable& Labels();
    ProcTable& Procs();
    // What is remembered about the places of the text being run.
    TextMemory& Memory() { return *memory_; }
    // Extension objects, extension factories and the call-back boundary.
    ExtensionHost& Extensions() { return *extensions_; }

    // The memory budget: SetMemoryLimit(0) lifts it. Growth is charged by
    // the places that build values; see MemoryMeter.
    void SetMemoryLimit(size_t bytes) { meter_.SetLimit(bytes); }
    size_t MemoryLimit() const { return meter_.Limit(); }
    void ChargeMemory(size_t bytes) { meter_.Charge(bytes); }
    // What may still be added before the limit (SIZE_MAX without one), and
    // bytes added where failing is no option; see MemoryMeter::Room and
    // Note. Neither throws.
    size_t MemoryRoom(bool exact = false) noexcept { return meter_.Room(exact); }
    void NoteMemory(size_t bytes) noexcept { meter_.Note(bytes); }
    // What the program's values, objects, stacks and text hold, in bytes.
    size_t MemoryInUse();

    // Fast paths: everything the engine remembers or compiles about places
    // in the text (tokens, compiled expressions and conditions, statement
    // plans, scan ends). Switched off, every statement is read from the text;
    // results, errors and lexer states are the same either way. On unless the
    // environment variable TALLOW_NO_FAST_PATHS is set to a non-empty value
    // other than 0 when the program is constructed.
    void SetFastPaths(bool on) { fastPaths_ = on; }
    bool FastPaths() const { return fastPaths_; }
    // Statement blocks (runs of statements compiled as one, part of the fast
    // paths) may be entered. Off, every statement passes the statement
    // loop's own gate, as a debugger that watches statements needs; a block
    // that is running finishes its pass first.
    void SetStatementBlocks(bool on) { blocks_ = on; }

    // State read and written by statements and the embedding API. A stop may
    // be requested from another thread (EndProgram).
    std::atomic<int> stopRequested{0};
    // The standard handles were given to this program (a redirected run):
    // opening or closing the console keeps them instead of reading the
    // process's standard handles again.
    bool handlesGiven = false;
    // Ends every run as EndProgram does once this many statements have run
    // in it; 0 means no limit.
    int64_t statementLimit = 0;
    // Ends every run as EndProgram does once it has lasted this many
    // milliseconds, and every wait of the script ends by then; 0 means no
    // limit.
    int64_t timeLimitMs = 0;
    int exitCode = 0;
    int lastErrorKind = 0;
    int consoleAllocated = 0;
    std::string onErrorLabel;
    std::string scriptFileName;
    std::vector<std::string> scriptArguments;  // fill `argv` at every run when set
    bool hasScriptArguments = false;
    std::optional<uint32_t> resumePosition;
    platform::Handle parentWindow = nullptr;
    platform::Handle stdinHandle = nullptr;
    platform::Handle stdoutHandle = nullptr;
    RandomGenerator randomGenerator;  // rnd; seeded from the time at construction
    // The Heap object's blocks, against which HeapBytes checks addresses.
    HeapBlocks* heapBlocks = nullptr;

    ObjectFactory* stringArrayFactory() const { return stringArrayFactory_.get(); }
    ObjectFactory* numArrayFactory() const { return numArrayFactory_.get(); }

private:
    // Prepares the text in the current scope and runs its statements; an
    // error that no TRY catches shows the exception box and gives 0. With
    // fillArguments, the argv array is made first.
    int RunLoop(bool outermost, uint32_t start, bool fillArguments = false);
    // One statement more of the budget; false (and the run stopping) when
    // it is spent or the time is up.
    bool Budget() {
        if (--statementsLeft_ >= 0) [[likely]] {
            if (--clockCountdown_ > 0) [[likely]]
                return true;
            return TimeAllows();
        }
        stopRequested = 1;
        budgetSpent_ = true;
        return false;
    }
    // Looks at the clock (every so many statements): false, and the run
    // stopping, once its deadline has passed.
    bool TimeAllows();
    // What the run starting now may use: its own limits, and no more than
    // what the run of another program that started it on this thread has
    // left (a code file run by `run`, a host called from a script). Gives
    // what Run must restore when it ends.
    struct RunLimits;
    RunLimits TakeLimits(Program* enclosing);
    void GiveBackLimits(const RunLimits& limits, Program* enclosing);
    [[noreturn]] void OutOfMemory();
    [[gnu::noinline]] int CatchOrRethrow(uint32_t start);
    // The session's entry at start, evaluated when it is one expression;
    // false (nothing read) when it is no expression.
    bool EvaluateEntry(uint32_t start);
    // Executes the statement that begins at start (its first token read),
    // inside the TRY filter: through plan, what the place remembers, or
    // when that is null from its text, token. 1 to go on.
    int ExecuteStatement(uint32_t start, const Token* token, StatementPlan* plan);
    template <bool kBody>
    void RunStatementsOf(StatementPlan* entry);
    // How a statement block ended: at a statement it does not hold (the
    // lexer there), with the run stopping, or at the end of a procedure body.
    enum class BlockEnd : uint8_t { Left, Stopped, BodyEnds };
    // The block that the loop head plan (at at, first token token) runs,
    // made when it has been reached often enough; null when there is none
    // to enter now. ReadyBlock answers at once for a block that needs
    // nothing done first.
    StatementBlock* BlockFor(StatementPlan& plan, uint32_t at, const Token& token, bool body);
    inline StatementBlock* ReadyBlock(StatementPlan& plan, bool body);
    // After a block ended: whether it should be made again.
    void AfterBlock(StatementBlock& block, StatementPlan& head);
    // A procedure body's first statement straight through its block when it
    // has one ready: the first pass of the body's statement loop without
    // the loop. True when the body has ended (or the run stops); otherwise
    // the loop goes on after entry, which is then the last plan run.
    bool RunBodyBlock(StatementPlan*& entry);
    // Runs block from its first step, which the statement loop has counted
    // and read; current is the step running (for the TRY filter), also when
    // an error leaves. As ExecuteStatement, 1 to go on.
    BlockEnd RunBlock(StatementBlock& block, Lexer& lx, BlockStep*& current);
    int ExecuteBlock(StatementBlock& block, Lexer& lx, BlockStep*& current, BlockEnd& end);
    [[noreturn]] void NestingOverflow(int levels);
    void RecordError(int kind, std::string_view message);
    // After a run: the loop stacks, block depths and the run's text go, and
    // with values the script's variables, arrays and objects too.
    void CleanUp(bool values = true);
    void FillArguments();
    ObjectFactory* DynamicFactory(ScriptObject* object) const;
    void ReleaseArrayName(std::string_view name);

    // Makes scope the current text (and gives back the one it replaces).
    std::unique_ptr<TextScope> SwapText(std::unique_ptr<TextScope> scope);

    std::unique_ptr<TextScope> text_;
    Lexer* lexer_ = nullptr;  // the current text's, for the hot paths
    TextMemory* memory_ = nullptr;
    Evaluator evaluator_;
    NameMap<ScriptObject*> objects_;
    NameMap<ObjectFactory*> factories_;
    std::unordered_map<ScriptObject*, ObjectFactory*> dynamicObjects_;
    std::vector<ScriptObject*> dynamicOrder_;  // creation order, for clean-up
    uint32_t registryGeneration_ = 0;
    int nesting_ = 0;
    uintptr_t stackFloor_ = 0;  // the guard raises its error below this stack address
    bool running_ = false;
    bool fastPaths_ = true;
    bool blocks_ = true;
    bool budgetSpent_ = false;
    bool argumentsFilled_ = false;
    RunOutcome outcome_ = RunOutcome::None;
    ErrorReport lastError_;     // the error recorded last
    ErrorReport lastRunError_;  // the one that ended the last run
    std::optional<std::string> runValue_;
    MemoryMeter meter_{[](void* p) { return static_cast<Program*>(p)->MemoryInUse(); }, this};
    int64_t statementsLeft_ = INT64_MAX;  // of this run's statement budget
    std::optional<uint64_t> deadline_;    // of this run, in platform::SteadyMilliseconds
    int clockCountdown_ = INT32_MAX;      // statements until the clock is looked at
    bool timeSpent_ = false;
    bool memoryExhausted_ = false;  // "out of memory" ends the run at every depth
    bool errorShown_ = false;       // its box was shown in evaluated text
    bool errorSearched_ = false;    // a TRY filter has looked for this error's CATCH

    std::unique_ptr<MainObject> mainObject_;
    std::unique_ptr<ObjectFactory> stringArrayFactory_;
    std::unique_ptr<ObjectFactory> numArrayFactory_;
    std::unique_ptr<SystemObject> systemObject_;
    std::unique_ptr<ServiceObjects> services_;
    std::unique_ptr<ExtensionHost> extensions_;
};

// Whether compiled code may run at the program's current nesting: its
// parentheses and indices must not reach the limit, where reading the text
// reports "stack overflow" at the exact place (callers then read the text).
inline bool NestingAllows(Program& p, int nesting) {
    return p.NestingRoom() >= nesting;
}

// One or more nesting levels for as long as it lives.
class NestingScope {
public:
    NestingScope(Program& p, int levels) : p_(p), levels_(levels) { p.EnterNesting(levels); }
    ~NestingScope() { p_.LeaveNesting(levels_); }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;

private:
    Program& p_;
    int levels_;
};

}  // namespace tallow
