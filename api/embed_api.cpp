// The exported embedding API: program lifecycle and the one-shot runners.
// No C++ exception leaves an export.
#include "tallow.h"

#include <new>

#include "core/program.h"
#include "platform/message_box.h"

using tallow::Program;

namespace {

Program* FromHandle(TallowProgramHandle handle) { return reinterpret_cast<Program*>(handle); }

// Runs text on program and returns its exit code; 1 when the run failed for
// a reason that is not a script error (memory, a run already in progress).
int RunAndReport(Program& program, const char* text) {
    try {
        program.Run(text);
        return program.exitCode;
    } catch (...) {
        return 1;
    }
}

}  // namespace

extern "C" {

TALLOW_EXPORT TallowProgramHandle TALLOW_API CreateProgram(void) {
    try {
        return reinterpret_cast<TallowProgramHandle>(new Program());
    } catch (...) {
        return nullptr;
    }
}

TALLOW_EXPORT void TALLOW_API DestroyProgram(TallowProgramHandle program) {
    try {
        delete FromHandle(program);
    } catch (...) {
    }
}

TALLOW_EXPORT int TALLOW_API RunProgram(TallowProgramHandle program, const char* text) {
    Program* p = FromHandle(program);
    if (!p) return 0;
    if (p->IsRunning()) return 1;
    return RunAndReport(*p, text);
}

TALLOW_EXPORT int TALLOW_API RunTallowBuffer(const char* text) {
    try {
        Program program;
        return RunAndReport(program, text);
    } catch (...) {
        return 1;
    }
}

TALLOW_EXPORT void TALLOW_API SetUnattended(int unattended) { tallow::platform::SetUnattended(unattended != 0); }

TALLOW_EXPORT void TALLOW_API SetScriptFileName(TallowProgramHandle program, const char* name) {
    Program* p = FromHandle(program);
    if (!p) return;
    try {
        p->scriptFileName = name ? name : "";
    } catch (...) {
    }
}

TALLOW_EXPORT void TALLOW_API SetScriptArguments(TallowProgramHandle program, int count, const char* const* args) {
    Program* p = FromHandle(program);
    if (!p) return;
    try {
        p->scriptArguments.clear();
        for (int i = 0; i < count && args; ++i) p->scriptArguments.emplace_back(args[i] ? args[i] : "");
        p->hasScriptArguments = count >= 0;
    } catch (...) {
    }
}

}  // extern "C"
