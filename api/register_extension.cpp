// The registerextension statement: a library writes its own registrations,
// and the program loads them at once for the rest of the run.
#include "api/callback_guard.h"
#include "api/extension_host.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statements.h"
#include "platform/library.h"

namespace tallow {

// registerextension = "registerextension" strexpr
void StmtRegisterExtension(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string path = ev.EvalString();
    platform::Library library;
    if (!library.Load(path)) p.ReportError(kRuntimeKind, msg::kCouldNotLoadExtension);
    auto registerProc = reinterpret_cast<TallowRegisterProc>(library.Find("RegisterExtension"));
    if (!registerProc) p.ReportError(kRuntimeKind, msg::kCannotSelfRegister);
    int registered = 0;
    CallbackState& state = CallbackStateOf(p);
    if (!CallProtected(state, &registered, registerProc)) RaiseCallbackError(state);
    if (!registered) p.ReportError(kRuntimeKind, msg::kFailedSelfRegister);
    library.Free();
    p.Extensions().LoadRegistered();
}

}  // namespace tallow
