// The exported embedding API: program lifecycle, the one-shot runners, host
// objects and types, program access through an object handle, and the
// registration of extensions. No C++ exception leaves an export, and every
// handle is checked against the live ones (api/live_handles.h) before use.
#include "tallow.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <exception>
#include <new>

#include "api/callback_guard.h"
#include "api/code_runner.h"
#include "api/extension_host.h"
#include "api/live_handles.h"
#include "api/run_error.h"
#include "core/program.h"
#include "expr/names.h"
#include "objects/heap_blocks.h"
#include "platform/message_box.h"
#include "platform/registry.h"

using tallow::Program;
using tallow::ScriptObject;

namespace {

// Runs text on program and returns its exit code; 1 when the run failed for
// a reason that is not a script error (memory, a run already in progress).
int RunAndReport(Program& program, const char* text, uint32_t start = 0) {
    try {
        program.Run(text, start);
        return program.exitCode;
    } catch (...) {
        return 1;
    }
}

// Runs a host's request on program. An error goes back to the entry point in
// progress when there is one (a host object's call-back inserting objects);
// outside any, a script error is shown in the error box and dropped.
// beforeJump runs before the jump back, which skips the caller's frame.
template <class Body, class BeforeJump>
void RunHostRequest(Program& program, const Body& body, const BeforeJump& beforeJump) {
    tallow::CallbackState& state = tallow::CallbackStateOf(program);
    bool scriptError = false;
    try {
        body();
        return;
    } catch (const tallow::ScriptError&) {
        scriptError = true;
        state.pending = std::current_exception();
    } catch (...) {
        state.pending = std::current_exception();
    }
    if (state.top) {
        beforeJump();
        std::longjmp(state.top->buffer, 1);
    }
    tallow::DiscardCallbackError(state);
    if (scriptError) {
        try {
            program.ShowErrorBox(true);
        } catch (...) {
        }
    }
}

tallow::EntryPoints MakeEntryPoints(TallowCreateProc create, TallowDestroyProc destroy,
                                    TallowStatementProc statement, TallowNumFunctionProc numberFunction,
                                    TallowStringFunctionProc stringFunction) {
    return tallow::EntryPoints{create, destroy, statement, numberFunction, stringFunction};
}

// InsertObject and InsertFactory: hand the entry points to the program's
// extension host; errors are shown, not raised.
using HostAdder = void (tallow::ExtensionHost::*)(std::string, TallowValue, const tallow::EntryPoints&);

void Insert(HostAdder add, const char* name, TallowValue data, TallowProgramHandle program,
            const tallow::EntryPoints& entry) {
    Program* p = tallow::api::EnterProgram(program);
    if (!p) return;
    // A jump back means a run is in progress, which keeps the program.
    RunHostRequest(
        *p, [&] { (p->Extensions().*add)(name ? name : "", data, entry); },
        [p] { (void)tallow::api::LeaveProgram(p); });
    // The host's create may have destroyed the program meanwhile.
    if (tallow::api::LeaveProgram(p)) {
        try {
            delete p;
        } catch (...) {
        }
    }
}

// A one-shot runner's program, known to the handle checks for its one run.
class OneShotProgram {
public:
    OneShotProgram() { tallow::api::NoteProgramBorn(&program, false); }
    ~OneShotProgram() { tallow::api::ForgetProgram(&program); }
    OneShotProgram(const OneShotProgram&) = delete;
    OneShotProgram& operator=(const OneShotProgram&) = delete;

    Program program;
};

}  // namespace

extern "C" {

TALLOW_EXPORT TallowProgramHandle TALLOW_API CreateProgram(void) {
    Program* p = nullptr;
    try {
        p = new Program();
        tallow::api::NoteProgramBorn(p, true);
        return reinterpret_cast<TallowProgramHandle>(p);
    } catch (...) {
        delete p;
        return nullptr;
    }
}

// From inside a run (a call-back or a host object's member) the program
// cannot go at once: the run is stopped and RunProgram deletes it on its way
// out.
TALLOW_EXPORT void TALLOW_API DestroyProgram(TallowProgramHandle program) {
    if (tallow::api::TakeForDestroy(program) != tallow::api::Disposal::kDelete) return;
    try {
        delete reinterpret_cast<Program*>(program);
    } catch (...) {
    }
}

TALLOW_EXPORT int TALLOW_API RunProgram(TallowProgramHandle program, const char* text) {
    return RunProgramFrom(program, text, 0);
}

TALLOW_EXPORT int TALLOW_API RunProgramFrom(TallowProgramHandle program, const char* text, int start) {
    Program* p = nullptr;
    switch (tallow::api::BeginRun(program, &p)) {
        case tallow::api::RunStart::kUnknown:
            return 0;
        case tallow::api::RunStart::kBusy:
            return 1;
        case tallow::api::RunStart::kStarted:
            break;
    }
    size_t length = text ? std::strlen(text) : 0;
    int code =
        RunAndReport(*p, text, start < 0 || size_t(start) > length ? uint32_t(length) : uint32_t(start));
    if (tallow::api::EndRun(p)) {
        try {
            delete p;
        } catch (...) {
        }
    }
    return code;
}

TALLOW_EXPORT void TALLOW_API SetSession(TallowProgramHandle program, int on) {
    Program* p = tallow::api::LiveProgram(program);
    if (!p || p->IsRunning()) return;
    p->keepState = on != 0;
    if (!on) p->ClearValues();
}

TALLOW_EXPORT int TALLOW_API RunTallowBuffer(const char* text) {
    try {
        OneShotProgram oneShot;
        return RunAndReport(oneShot.program, text);
    } catch (...) {
        return 1;
    }
}

// The handles are the program's alone: the process's standard handles stay
// as they are, so programs running on other threads meanwhile keep theirs.
TALLOW_EXPORT int TALLOW_API RunTallowBufferRedirected(const char* text, TallowFile input,
                                                       TallowFile output) {
    try {
        OneShotProgram oneShot;
        Program& program = oneShot.program;
        program.stdinHandle = input;
        program.stdoutHandle = output;
        program.handlesGiven = true;
        return RunAndReport(program, text);
    } catch (...) {
        return 1;
    }
}

TALLOW_EXPORT void TALLOW_API InsertObject(const char* name, TallowValue data, TallowProgramHandle program,
                                           TallowCreateProc create, TallowDestroyProc destroy,
                                           TallowStatementProc statement,
                                           TallowNumFunctionProc numberFunction,
                                           TallowStringFunctionProc stringFunction) {
    Insert(&tallow::ExtensionHost::AddHostObject, name, data, program,
           MakeEntryPoints(create, destroy, statement, numberFunction, stringFunction));
}

TALLOW_EXPORT void TALLOW_API InsertFactory(const char* name, TallowValue data, TallowProgramHandle program,
                                            TallowCreateProc create, TallowDestroyProc destroy,
                                            TallowStatementProc statement,
                                            TallowNumFunctionProc numberFunction,
                                            TallowStringFunctionProc stringFunction) {
    Insert(&tallow::ExtensionHost::AddHostFactory, name, data, program,
           MakeEntryPoints(create, destroy, statement, numberFunction, stringFunction));
}

// ---- Program access through an object handle ---------------------------------

TALLOW_EXPORT TallowWindow TALLOW_API GetParentHWND(TallowObjectHandle object) {
    ScriptObject* o = tallow::api::LiveObject(object);
    return o ? o->Owner().parentWindow : nullptr;
}

TALLOW_EXPORT void TALLOW_API SetParentHWND(TallowObjectHandle object, TallowWindow window) {
    if (ScriptObject* o = tallow::api::LiveObject(object)) o->Owner().parentWindow = window;
}

TALLOW_EXPORT TallowFile TALLOW_API GetStdin(TallowObjectHandle object) {
    ScriptObject* o = tallow::api::LiveObject(object);
    return o ? o->Owner().stdinHandle : nullptr;
}

TALLOW_EXPORT TallowFile TALLOW_API GetStdout(TallowObjectHandle object) {
    ScriptObject* o = tallow::api::LiveObject(object);
    return o ? o->Owner().stdoutHandle : nullptr;
}

TALLOW_EXPORT void TALLOW_API OpenConsole(TallowObjectHandle object) {
    ScriptObject* o = tallow::api::LiveObject(object);
    if (!o) return;
    try {
        o->Owner().OpenConsole();
    } catch (...) {
    }
}

TALLOW_EXPORT void TALLOW_API EndProgram(TallowObjectHandle object) {
    if (ScriptObject* o = tallow::api::LiveObject(object)) o->Owner().stopRequested = 1;
}

TALLOW_EXPORT int TALLOW_API SetProperty(TallowObjectHandle object, const char* name, TallowValue value) {
    auto* o = dynamic_cast<tallow::ExtensionObject*>(tallow::api::LiveObject(object));
    if (!o || !name) return 0;
    try {
        o->SetProperty(name, value);
        return 1;
    } catch (...) {
        return 0;
    }
}

TALLOW_EXPORT TallowValue TALLOW_API GetProperty(TallowObjectHandle object, const char* name) {
    auto* o = dynamic_cast<tallow::ExtensionObject*>(tallow::api::LiveObject(object));
    if (!o || !name) return 0;
    return o->GetProperty(name);
}

// ---- Registration -------------------------------------------------------------

TALLOW_EXPORT int TALLOW_API WriteExtensionRegistration(const char* section, const char* name,
                                                        const char* data) {
    namespace platform = tallow::platform;
    if (!section || !name || !*name || std::strlen(name) > tallow::kMaxRegistrationName) return 0;
    const char* known = tallow::NamesEqual(section, tallow::kObjectsSection)     ? tallow::kObjectsSection
                        : tallow::NamesEqual(section, tallow::kFactoriesSection) ? tallow::kFactoriesSection
                                                                                 : nullptr;
    if (!known) return 0;
    try {
        std::string path = std::string(tallow::kExtensionsKey) + "\\" + known;
        platform::RegistryKey key;
        if (!data) return key.Open(platform::RegistryRoot::kCurrentUser, path, true) && key.DeleteValue(name);
        size_t size = std::strlen(data) + 1;
        if (size > tallow::kMaxRegistrationData) return 0;
        return key.Create(platform::RegistryRoot::kCurrentUser, path) &&
               key.SetValue(name, platform::kRegSz, std::string_view(data, size));
    } catch (...) {
        return 0;
    }
}

TALLOW_EXPORT int TALLOW_API ListExtensionRegistrations(TallowRegistrationVisitor visit, void* context) {
    if (!visit) return 0;
    int count = 0;
    try {
        tallow::ForEachExtensionRegistration(
            [&](const char* section, const std::string& name, const tallow::Registration& r) {
                int loads = tallow::ExtensionLibraryLoads(r.path) ? 1 : 0;
                visit(context, section, name.c_str(), r.data, r.path.c_str(), loads);
                ++count;
            });
    } catch (...) {
    }
    return count;
}

TALLOW_EXPORT void TALLOW_API SetUnattended(int unattended) {
    tallow::platform::SetUnattended(unattended != 0);
}

TALLOW_EXPORT void TALLOW_API SetScriptFileName(TallowProgramHandle program, const char* name) {
    Program* p = tallow::api::LiveProgram(program);
    if (!p) return;
    try {
        p->scriptFileName = name ? name : "";
    } catch (...) {
    }
}

TALLOW_EXPORT void TALLOW_API SetScriptArguments(TallowProgramHandle program, int count,
                                                 const char* const* args) {
    Program* p = tallow::api::LiveProgram(program);
    if (!p) return;
    try {
        p->scriptArguments.clear();
        for (int i = 0; i < count && args; ++i)
            p->scriptArguments.emplace_back(args[i] ? args[i] : "");
        p->hasScriptArguments = count >= 0;
    } catch (...) {
    }
}

TALLOW_EXPORT void TALLOW_API SetStatementLimit(TallowProgramHandle program, int64_t count) {
    if (Program* p = tallow::api::LiveProgram(program)) p->statementLimit = count > 0 ? count : 0;
}

TALLOW_EXPORT void TALLOW_API SetTimeLimit(TallowProgramHandle program, int64_t milliseconds) {
    if (Program* p = tallow::api::LiveProgram(program)) p->timeLimitMs = milliseconds > 0 ? milliseconds : 0;
}

TALLOW_EXPORT int TALLOW_API GetRunOutcome(TallowProgramHandle program) {
    Program* p = tallow::api::LiveProgram(program);
    if (!p) return TALLOW_RUN_NONE;
    switch (p->Outcome()) {
        case tallow::RunOutcome::Ended:
            return TALLOW_RUN_ENDED;
        case tallow::RunOutcome::Failed:
            return TALLOW_RUN_FAILED;
        case tallow::RunOutcome::Budget:
            return TALLOW_RUN_BUDGET;
        case tallow::RunOutcome::Time:
            return TALLOW_RUN_TIME;
        case tallow::RunOutcome::None:
            break;
    }
    return TALLOW_RUN_NONE;
}

TALLOW_EXPORT int TALLOW_API GetLastRunError(TallowProgramHandle program, char* message, int messageSize,
                                             int* line, int* column, int* kind, char* token, int tokenSize) {
    Program* p = tallow::api::LiveProgram(program);
    if (!p || p->Outcome() != tallow::RunOutcome::Failed) return 0;
    return tallow::api::CopyRunError(p->LastRunError(), message, messageSize, line, column, kind, token,
                                     tokenSize);
}

TALLOW_EXPORT int TALLOW_API GetLastRunErrorNote(TallowProgramHandle program, int index, char* note,
                                                 int noteSize, int* line, int* column) {
    Program* p = tallow::api::LiveProgram(program);
    if (!p || p->Outcome() != tallow::RunOutcome::Failed) return 0;
    return tallow::api::CopyRunErrorNote(p->LastRunError(), index, note, noteSize, line, column);
}

TALLOW_EXPORT int TALLOW_API GetRunValue(TallowProgramHandle program, char* value, int valueSize) {
    Program* p = tallow::api::LiveProgram(program);
    if (!p || p->IsRunning() || !p->RunValue()) return 0;
    const std::string& text = *p->RunValue();
    tallow::api::CopyText(text, value, valueSize);
    return int(std::min<size_t>(text.size(), INT32_MAX));
}

TALLOW_EXPORT void TALLOW_API SetErrorOutput(TallowProgramHandle program, int where) {
    if (!program) {
        if (where == TALLOW_ERRORS_BOX || where == TALLOW_ERRORS_STDERR)
            tallow::platform::SetErrorBoxesToStdError(where == TALLOW_ERRORS_STDERR);
        return;
    }
    Program* p = tallow::api::LiveProgram(program);
    if (!p) return;
    switch (where) {
        case TALLOW_ERRORS_PROCESS:
            p->errorOutput = tallow::ErrorOutput::Process;
            break;
        case TALLOW_ERRORS_BOX:
            p->errorOutput = tallow::ErrorOutput::Box;
            break;
        case TALLOW_ERRORS_STDERR:
            p->errorOutput = tallow::ErrorOutput::StdError;
            break;
        case TALLOW_ERRORS_HOST:
            p->errorOutput = tallow::ErrorOutput::Host;
            break;
        default:
            break;
    }
}

TALLOW_EXPORT int TALLOW_API GetTallowVersion(void) {
    return TALLOW_VERSION_NUMBER;
}

TALLOW_EXPORT void TALLOW_API SetMemoryLimit(TallowProgramHandle program, int64_t bytes) {
    if (Program* p = tallow::api::LiveProgram(program))
        p->SetMemoryLimit(bytes <= 0 ? 0 : uint64_t(bytes) > SIZE_MAX ? SIZE_MAX : size_t(bytes));
}

TALLOW_EXPORT void TALLOW_API SetFastPaths(TallowProgramHandle program, int enabled) {
    if (Program* p = tallow::api::LiveProgram(program)) p->SetFastPaths(enabled != 0);
}

TALLOW_EXPORT void TALLOW_API SetTrustAddresses(TallowProgramHandle program, int on) {
    Program* p = tallow::api::LiveProgram(program);
    if (p && p->heapBlocks) p->heapBlocks->trustAddresses = on != 0;
}

}  // extern "C"
