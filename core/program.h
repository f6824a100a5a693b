// One interpreter instance: the script text and its lexer, the object and
// factory registries, the keyword object, labels and procedures, the console
// handles and the exit code. Run() executes a script to its end.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "expr/evaluator.h"
#include "expr/lexer.h"
#include "expr/names.h"
#include "expr/random_generator.h"
#include "platform/handles.h"

namespace tallow {

class ScriptObject;
struct StatementPlan;
class ObjectFactory;
class MainObject;
class SystemObject;
class LabelTable;
class ProcTable;
class StringArrayObject;
class NumArrayObject;
class ExtensionHost;

// The script exception. It carries nothing: what happened is in ErrMsg$,
// ErrLine# and the program's lastErrorKind.
struct ScriptError {};

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
    // 1 when the script ended normally, 0 when an error aborted it.
    int Run(const char* text);
    bool IsRunning() const { return running_; }
    // Runs text inside the running script with its own labels and procedures
    // (eval, evalarray). Errors in it are shown and swallowed.
    void RunNested(std::string_view text);
    // Executes the statement that begins with token, inside the TRY filter.
    int ExecuteStatement(const Token& token);
    // Executes a procedure body: statements up to ENDPROC or a statement that
    // starts with EXIT, the end of the text or a stop request. entry carries
    // the prediction of the body's first statement from call to call.
    void RunBody(StatementPlan* entry);

    // Records the error in ErrMsg$ and ErrLine# and unwinds to the nearest
    // statement boundary. kind is kSyntaxKind or kRuntimeKind.
    [[noreturn]] void ReportError(int kind, std::string_view message);
    // As ReportError for kinds 0 and 1; a warning box that returns otherwise.
    void ReportMessage(int kind, std::string_view message);
    void ShowErrorBox(bool fatal);

    void OpenConsole();
    void CloseConsole();

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

    // Arrays by name: only objects the script created with the array types.
    StringArrayObject* FindStringArray(std::string_view name) const;
    NumArrayObject* FindNumArray(std::string_view name) const;
    // Creates an empty array of that name, replacing a script-created object
    // of the name; "array name conflict" for any other object.
    StringArrayObject* ClearStringArray(std::string_view name);
    NumArrayObject* ClearNumArray(std::string_view name);

    // The nesting guard: every native recursion a script can drive enters it
    // and raises "stack overflow" past kMaxNesting levels or near the end of
    // the thread's stack.
    void EnterNesting() {
        char probe;
        if (++nesting_ > kMaxNesting || reinterpret_cast<uintptr_t>(&probe) < stackFloor_) NestingOverflow();
    }
    void LeaveNesting() { --nesting_; }

    // The keyword id of a token's text, as the forward scans look it up;
    // remembered for the token's place.
    int KeywordOf(const Token& token);

    Lexer& Lex() { return *lexer_; }
    Evaluator& Eval() { return evaluator_; }
    MainObject& Main() { return *mainObject_; }
    LabelTable& Labels() { return *labels_; }
    ProcTable& Procs() { return *procs_; }
    // Extension objects, extension factories and the call-back boundary.
    ExtensionHost& Extensions() { return *extensions_; }

    // State read and written by statements and the embedding API.
    int stopRequested = 0;
    // Ends every run as EndProgram does once this many statements have run
    // in it; 0 means no limit.
    int64_t statementLimit = 0;
    // Set by compiled code just before it calls a built-in function whose
    // arguments can change no variable; cleared after the call and by every
    // error. Lets the function read a string variable without copying it.
    bool harmlessArguments = false;
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

    ObjectFactory* stringArrayFactory() const { return stringArrayFactory_.get(); }
    ObjectFactory* numArrayFactory() const { return numArrayFactory_.get(); }

private:
    int RunLoop();
    // The statement loop of a run: to the end of the text or a stop request;
    // an error that no TRY catches shows the exception box and gives 0.
    int RunStatements();
    // One statement more of the budget; false (and the run stopping) when
    // it is spent.
    bool Budget() {
        if (--statementsLeft_ >= 0) return true;
        stopRequested = 1;
        return false;
    }
    [[noreturn]] void OutOfMemory();
    [[gnu::noinline]] int CatchOrRethrow(const Token& token);
    [[noreturn]] void NestingOverflow();
    void RecordError(int kind, std::string_view message);
    void CleanUp();
    void FillArguments();
    ObjectFactory* DynamicFactory(ScriptObject* object) const;
    void ReleaseArrayName(std::string_view name);

    std::unique_ptr<Lexer> lexer_;
    Evaluator evaluator_;
    NameMap<ScriptObject*> objects_;
    NameMap<ObjectFactory*> factories_;
    std::unordered_map<ScriptObject*, ObjectFactory*> dynamicObjects_;
    std::vector<ScriptObject*> dynamicOrder_;  // creation order, for clean-up
    uint32_t registryGeneration_ = 0;
    int nesting_ = 0;
    uintptr_t stackFloor_ = 0;  // the guard raises its error below this stack address
    bool running_ = false;
    int64_t statementsLeft_ = INT64_MAX;  // of this run's statement budget
    bool errorSearched_ = false;  // a TRY filter has looked for this error's CATCH

    std::unique_ptr<ProcTable> procs_;
    std::unique_ptr<LabelTable> labels_;
    std::unique_ptr<MainObject> mainObject_;
    std::unique_ptr<ObjectFactory> stringArrayFactory_;
    std::unique_ptr<ObjectFactory> numArrayFactory_;
    std::unique_ptr<SystemObject> systemObject_;
    std::unique_ptr<ExtensionHost> extensions_;
};

// Truncates toward zero to a signed 32-bit value. NaN and values outside the
// range give INT32_MIN, as the x86 conversion instruction does on both targets.
int32_t ToInt32(double value);

}  // namespace tallow
