// Raising a call-back's error again on the engine's side of the boundary.
#include "api/callback_guard.h"

#include <utility>

#include "api/extension_host.h"

namespace tallow {

void RaiseCallbackError(CallbackState& state) {
    std::exception_ptr error = std::exchange(state.pending, nullptr);
    if (error) std::rethrow_exception(error);
    throw ScriptError{};
}

CallbackState& CallbackStateOf(Program& program) {
    return program.Extensions().callbacks;
}

}  // namespace tallow
