// The program: construction, the run loop, nested runs, clean-up after every
// run, the registries and the console.
#include "program.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "api/extension_host.h"
#include "core/control_flow.h"
#include "core/error_notes.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/procedures.h"
#include "core/session_value.h"
#include "core/text_scope.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "objects/heap_blocks.h"
#include "objects/service_objects.h"
#include "objects/system_object.h"
#include "platform/console.h"
#include "platform/stack.h"
#include "platform/wait_deadline.h"

namespace tallow {

namespace {

// Stack a statement may still need below the nesting guard's check: deep
// enough for the largest handler frames and the error path.
constexpr size_t kStackReserve = 96 * 1024;

// The string array that holds the script's arguments.
constexpr std::string_view kArgumentsName = "argv";

// Restores what a scope replaced, also when an exception leaves it.
template <class F>
struct ScopeExit {
    F f;
    ~ScopeExit() { f(); }
};
template <class F>
ScopeExit(F) -> ScopeExit<F>;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A text runs as a script file means it, however it was handed over: a
// UTF-8 byte-order mark at its start is no part of it, and a first line that
// starts with "#!" (the interpreter line of an executable script) is passed
// over as blanks, so that lines and columns stay those of the file. Returns
// the text to run, kept in storage when it differs; start moves with a
// removed mark.
std::string_view RunnableText(std::string_view text, std::string& storage, uint32_t& start) {
    if (text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
        start = start > kUtf8Bom.size() ? start - uint32_t(kUtf8Bom.size()) : 0;
    }
    if (!text.starts_with("#!")) return text;
    storage.assign(text);
    size_t end = storage.find_first_of("\r\n");
    std::fill(storage.begin(), end == std::string::npos ? storage.end() : storage.begin() + long(end), ' ');
    return storage;
}

// The run in progress on this thread that started last: a run that starts
// inside it (a code file that `run` starts, a host that a script reached
// through a library call) uses no more than that one has left.
thread_local Program* innermostRun = nullptr;

// Statements between two looks at the clock under a time limit: a look
// costs about as much as a simple statement.
constexpr int kClockInterval = 256;

}  // namespace

struct Program::RunLimits {
    size_t memoryLimit;                    // the program's own
    bool trustAddresses;                   // the program's own
    std::optional<uint64_t> waitDeadline;  // the thread's before the run
    int* deadlineWatch;                    // likewise
    int64_t statements;                    // the budget the run starts with
};

Program::RunLimits Program::TakeLimits(Program* enclosing) {
    RunLimits own{meter_.Limit(), heapBlocks && heapBlocks->trustAddresses, platform::WaitDeadline(),
                  platform::SetDeadlineWatch(&clockCountdown_), 0};
    statementsLeft_ = statementLimit > 0 ? statementLimit : INT64_MAX;
    deadline_.reset();
    if (timeLimitMs > 0) deadline_ = platform::SteadyMilliseconds() + uint64_t(timeLimitMs);
    if (enclosing) {
        statementsLeft_ = std::min(statementsLeft_, std::max<int64_t>(enclosing->statementsLeft_, 0));
        if (enclosing->deadline_ && (!deadline_ || *enclosing->deadline_ < *deadline_))
            deadline_ = enclosing->deadline_;
        // What the enclosing run holds stays held while this one runs.
        size_t room = enclosing->meter_.Room(true);
        if (room != SIZE_MAX && (!own.memoryLimit || room < own.memoryLimit))
            meter_.SetLimit(std::max<size_t>(room, 1));
        if (heapBlocks && enclosing->heapBlocks)
            heapBlocks->trustAddresses = enclosing->heapBlocks->trustAddresses;
    }
    platform::SetWaitDeadline(deadline_);
    own.statements = statementsLeft_;
    clockCountdown_ = deadline_ ? 1 : INT32_MAX;
    timeSpent_ = false;
    return own;
}

void Program::GiveBackLimits(const RunLimits& limits, Program* enclosing) {
    meter_.SetLimit(limits.memoryLimit);
    if (heapBlocks) heapBlocks->trustAddresses = limits.trustAddresses;
    platform::SetWaitDeadline(limits.waitDeadline);
    platform::SetDeadlineWatch(limits.deadlineWatch);
    if (enclosing) {
        enclosing->statementsLeft_ -= limits.statements - std::max<int64_t>(statementsLeft_, 0);
        // The enclosing run looks at the clock before its next statement.
        enclosing->clockCountdown_ = 1;
    }
}

bool Program::TimeAllows() {
    if (!deadline_) {
        clockCountdown_ = INT32_MAX;
        return true;
    }
    clockCountdown_ = kClockInterval;
    if (!platform::DeadlineReached()) return true;
    stopRequested = 1;
    timeSpent_ = true;
    return false;
}

Program::Program() : evaluator_(*this) {
    if (const char* off = std::getenv("TALLOW_NO_FAST_PATHS"))
        fastPaths_ = !*off || std::string_view(off) == "0";
    stdinHandle = platform::StdInput();
    stdoutHandle = platform::StdOutput();
    SwapText(std::make_unique<TextScope>(*this, std::string_view()));
    mainObject_ = std::make_unique<MainObject>(*this);
    stringArrayFactory_ = std::make_unique<StringArrayFactory>(*this);
    numArrayFactory_ = std::make_unique<NumArrayFactory>(*this);
    systemObject_ = std::make_unique<SystemObject>(*this);
    services_ = std::make_unique<ServiceObjects>(*this);
    extensions_ = std::make_unique<ExtensionHost>(*this);
}

Program::~Program() {
    CleanUp();
    // Extension objects and factories go first, while all they may call
    // back into is still there.
    extensions_->DestroyAll();
    // What their destroy functions created through call-backs (an array
    // filled for a result, say) goes too.
    CleanUp();
    extensions_.reset();
    services_.reset();
    systemObject_.reset();
    mainObject_.reset();
    SwapText(nullptr);
    stringArrayFactory_.reset();
    numArrayFactory_.reset();
}

LabelTable& Program::Labels() {
    return text_->labels;
}
ProcTable& Program::Procs() {
    return text_->procs;
}

std::unique_ptr<TextScope> Program::SwapText(std::unique_ptr<TextScope> scope) {
    std::swap(text_, scope);
    lexer_ = text_ ? &text_->lexer : nullptr;
    memory_ = text_ ? &text_->memory : nullptr;
    return scope;
}

void Program::UseText(std::string_view text) {
    SwapText(std::make_unique<TextScope>(*this, text));
}

int Program::Run(const char* text, uint32_t start) {
    if (!text || running_) return 0;
    outcome_ = RunOutcome::None;
    budgetSpent_ = false;
    runValue_.reset();
    memoryExhausted_ = errorShown_ = false;
    try {
        std::string storage;
        UseText(RunnableText(text, storage, start));
    } catch (const std::bad_alloc&) {
        // No room for the text: reported as any run out of memory is.
        RecordError(kSyntaxKind, msg::kOutOfMemory);
        lastRunError_ = lastError_;
        outcome_ = RunOutcome::Failed;
        ShowErrorBox(true, true);
        return 0;
    }
    running_ = true;
    meter_.Restart();
    Program* enclosing = innermostRun;
    RunLimits limits = TakeLimits(enclosing);
    innermostRun = this;
    // The stack guard works from the thread the run is on.
    char here;
    size_t left = platform::StackRemaining();
    uintptr_t sp = reinterpret_cast<uintptr_t>(&here);
    stackFloor_ = (left == SIZE_MAX || left < kStackReserve) ? 0 : sp - left + kStackReserve;
    ScopeExit cleanUp{[this, &limits, enclosing] {
        CleanUp(!keepState);
        running_ = false;
        innermostRun = enclosing;
        GiveBackLimits(limits, enclosing);
    }};
    bool fill = !keepState || !argumentsFilled_;
    argumentsFilled_ = true;
    int result = RunLoop(true, start, fill);
    outcome_ = result == 0    ? RunOutcome::Failed
               : budgetSpent_ ? RunOutcome::Budget
               : timeSpent_   ? RunOutcome::Time
                              : RunOutcome::Ended;
    return result;
}

void Program::FillArguments() {
    if (!hasScriptArguments) return;
    // The arguments' array counts as made before every other object of the
    // program, and a name belongs to the object constructed last: an object
    // that holds the name (a code file's dialog named argv, a host's object)
    // keeps it, and the array is left unreachable, so it is not made at all.
    if (ScriptObject* holder = FindObject(kArgumentsName); holder && !IsDynamic(holder)) return;
    StringArrayObject* argv = ClearStringArray(kArgumentsName);
    argv->items = scriptArguments;
}

int Program::RunLoop(bool outermost, uint32_t start, bool fillArguments) {
    try {
        if (fillArguments) FillArguments();
        extensions_->LoadRegistered();
        Procs().Prescan();
        Labels().Prescan();
        Lex().SetPosition(start);
        stopRequested = 0;
        if (outermost && keepState && EvaluateEntry(start)) return 1;
        RunStatements(false);
        return 1;
    } catch (const ScriptError&) {
        if (outermost) {
            lastRunError_ = lastError_;
            lastRunError_.notes = ErrorNotes(*this, lastRunError_);
        }
        if (!errorShown_) ShowErrorBox(true, outermost);
        // Running out of memory ends the whole program, from any depth of
        // evaluated text: its box is shown once, where it happened.
        if (memoryExhausted_ && !outermost) {
            errorShown_ = true;
            throw;
        }
        return 0;
    }
}

bool Program::EvaluateEntry(uint32_t start) {
    Lexer& lx = Lex();
    if (!IsOneExpression(lx.Text().substr(start))) return false;
    Evaluator& ev = Eval();
    ExprType type = ev.PeekExprType();
    if (type == kExprUnknown) {
        // A number expression may begin with a parenthesis or a sign that
        // the peek does not look past; anything else is a call of a name
        // that gives no value, which the statement reports.
        Token first = lx.NextToken();
        lx.PutBack(first);
        if (!first.IsDelimiter('(') && !first.IsDelimiter('-') && !first.IsDelimiter('+')) return false;
    }
    std::string value = type == kExprString ? QuotedText(ev.EvalString()) : NumberText(ev.EvalNum());
    if (lx.NextToken().kind != tkEnd) ReportError(kSyntaxKind, msg::kSyntaxError);
    runValue_ = std::move(value);
    return true;
}

void Program::RunNested(std::string_view text) {
    NestingScope nesting(*this, 1);
    MainObject& main = *mainObject_;
    NameList outerStatements = main.statements;
    NameList outerNumFunctions = main.numFunctions;
    NameList outerStringFunctions = main.stringFunctions;
    uint32_t namesBefore = main.nameGeneration;
    std::optional<uint32_t> outerResume = resumePosition;
    size_t outerForFloor = main.forFloor, outerWhileFloor = main.whileFloor;
    auto nested = std::make_unique<TextScope>(*this, text);
    std::unique_ptr<TextScope> outerText = SwapText(std::move(nested));
    ScopeExit restore{[&] {
        SwapText(std::move(outerText));
        // The evaluated text's procedures leave with it, and so does every
        // position that points into it. Names that changed meanwhile change
        // back, which is one more change: what was remembered under the
        // names of before is not trusted again.
        if (main.nameGeneration != namesBefore) {
            main.statements = std::move(outerStatements);
            main.numFunctions = std::move(outerNumFunctions);
            main.stringFunctions = std::move(outerStringFunctions);
            ++main.nameGeneration;
        }
        resumePosition = outerResume;
        if (main.forStack.size() > main.forFloor) main.forStack.resize(main.forFloor);
        if (main.whileStack.size() > main.whileFloor) main.whileStack.resize(main.whileFloor);
        main.forFloor = outerForFloor;
        main.whileFloor = outerWhileFloor;
    }};
    // The enclosing text's loops stay below these floors.
    main.forFloor = main.forStack.size();
    main.whileFloor = main.whileStack.size();
    RunLoop(false, 0);
}

void Program::CleanUp(bool values) {
    if (!mainObject_) return;
    MainObject& main = *mainObject_;
    main.forStack.clear();
    main.whileStack.clear();
    main.forFloor = main.whileFloor = 0;
    // Block depths left by jumps or an aborted run do not leak into the next.
    main.ifDepth = 0;
    main.tryDepth = 0;
    // The text of the run goes, with everything remembered about it.
    if (running_) SwapText(std::make_unique<TextScope>(*this, std::string_view()));
    resumePosition.reset();
    nesting_ = 0;
    if (values) ClearValues();
}

void Program::ClearValues() {
    argumentsFilled_ = false;
    // Objects the script created go; all others lose their member variables.
    std::vector<ScriptObject*> doomed;
    doomed.swap(dynamicOrder_);
    for (ScriptObject* object : doomed) {
        auto it = dynamicObjects_.find(object);
        if (it == dynamicObjects_.end()) continue;
        ObjectFactory* factory = it->second;
        dynamicObjects_.erase(it);
        factory->Destroy(object);
    }
    dynamicObjects_.clear();
    for (auto& [name, object] : objects_)
        object->ClearMembers();
    mainObject_->ClearMembers();
    if (systemObject_) systemObject_->ClearMembers();
}

size_t Program::MemoryInUse() {
    MainObject& main = *mainObject_;
    size_t bytes = main.MemoryInUse() + main.constants.Bytes() + main.forStack.capacity() * sizeof(ForEntry) +
                   main.whileStack.capacity() * sizeof(WhileEntry);
    if (systemObject_) bytes += systemObject_->MemoryInUse();
    for (const auto& [name, object] : objects_)
        bytes += object->MemoryInUse() + name.capacity();
    bytes += Lex().Text().size() * 2;
    return bytes;
}

void Program::OutOfMemory() {
    memoryExhausted_ = true;
    ReportError(kSyntaxKind, msg::kOutOfMemory);
}

void Program::NestingOverflow(int levels) {
    nesting_ -= levels;
    ReportError(kSyntaxKind, msg::kStackOverflow);
}

// ---- Registries -------------------------------------------------------------

ScriptObject* Program::FindObject(std::string_view name) const {
    auto it = objects_.find(name);
    return it == objects_.end() ? nullptr : it->second;
}

ObjectFactory* Program::FindFactory(std::string_view name) const {
    auto it = factories_.find(name);
    return it == factories_.end() ? nullptr : it->second;
}

void Program::RegisterObject(ScriptObject* object) {
    objects_[object->Name()] = object;
    ++registryGeneration_;
}

void Program::UnregisterObject(ScriptObject* object) {
    auto it = objects_.find(object->Name());
    if (it != objects_.end() && it->second == object) objects_.erase(it);
    ++registryGeneration_;
}

void Program::RegisterFactory(ObjectFactory* factory) {
    factories_[factory->Name()] = factory;
    ++registryGeneration_;
}

std::vector<std::string> Program::ObjectNames() const {
    std::vector<std::string> names;
    for (const auto& [name, object] : objects_)
        names.push_back(name);
    return names;
}

std::vector<std::string> Program::FactoryNames() const {
    std::vector<std::string> names;
    for (const auto& [name, factory] : factories_)
        names.push_back(name);
    return names;
}

void Program::UnregisterFactory(ObjectFactory* factory) {
    auto it = factories_.find(factory->Name());
    if (it != factories_.end() && it->second == factory) factories_.erase(it);
    ++registryGeneration_;
}

void Program::AddDynamic(ScriptObject* object, ObjectFactory* factory) {
    dynamicObjects_[object] = factory;
    dynamicOrder_.push_back(object);
    ++registryGeneration_;  // arrays are found among the script's objects only
}

ObjectFactory* Program::DynamicFactory(ScriptObject* object) const {
    auto it = dynamicObjects_.find(object);
    return it == dynamicObjects_.end() ? nullptr : it->second;
}

void Program::DestroyDynamic(ScriptObject* object) {
    ObjectFactory* factory = DynamicFactory(object);
    if (!factory) return;
    dynamicObjects_.erase(object);
    for (auto it = dynamicOrder_.begin(); it != dynamicOrder_.end(); ++it)
        if (*it == object) {
            dynamicOrder_.erase(it);
            break;
        }
    UnregisterObject(object);
    if (object->holds_ > 0)
        object->destroyWhenFree_ = factory;  // one of its members is running
    else
        factory->Destroy(object);
}

StringArrayObject* Program::FindStringArray(std::string_view name) const {
    ScriptObject* object = FindObject(name);
    if (!object || DynamicFactory(object) != stringArrayFactory_.get()) return nullptr;
    return static_cast<StringArrayObject*>(object);
}

NumArrayObject* Program::FindNumArray(std::string_view name) const {
    ScriptObject* object = FindObject(name);
    if (!object || DynamicFactory(object) != numArrayFactory_.get()) return nullptr;
    return static_cast<NumArrayObject*>(object);
}

void Program::ReleaseArrayName(std::string_view name) {
    if (ScriptObject* old = FindObject(name)) {
        if (!IsDynamic(old)) ReportError(kSyntaxKind, msg::kArrayNameConflict);
        DestroyDynamic(old);
    }
}

StringArrayObject* Program::ClearStringArray(std::string_view name) {
    ReleaseArrayName(name);
    auto* array = static_cast<StringArrayObject*>(stringArrayFactory_->Create(std::string(name)));
    AddDynamic(array, stringArrayFactory_.get());
    return array;
}

NumArrayObject* Program::ClearNumArray(std::string_view name) {
    ReleaseArrayName(name);
    auto* array = static_cast<NumArrayObject*>(numArrayFactory_->Create(std::string(name)));
    AddDynamic(array, numArrayFactory_.get());
    return array;
}

// ---- Console ------------------------------------------------------------------

void Program::OpenConsole() {
    if (consoleAllocated) return;
    platform::AllocateConsole();
    if (!handlesGiven) {
        stdinHandle = platform::StdInput();
        stdoutHandle = platform::StdOutput();
    }
    if (platform::kNameOpenedConsole) platform::SetConsoleTitleText("Tallow");
    consoleAllocated = 1;
}

platform::StreamHandles Program::StreamsFor(std::string_view path) {
    if (platform::StandardStreamNamed(path) != platform::StandardStream::kNone) OpenConsole();
    return platform::StreamHandles{stdinHandle, stdoutHandle, platform::StdError()};
}

void Program::CloseConsole() {
    if (!consoleAllocated) return;
    platform::ReleaseConsole();
    if (!handlesGiven) {
        stdinHandle = platform::StdInput();
        stdoutHandle = platform::StdOutput();
    }
    consoleAllocated = 0;
}

}  // namespace tallow
