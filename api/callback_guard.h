// The boundary between the engine and an extension's C frames. The engine
// calls an entry point through CallProtected; a call-back that fails stores
// the exception and longjmps back there, and the engine raises it again from
// its own frame. So no C++ exception ever crosses the extension's frames,
// which may have no unwind tables at all.
#pragma once

#include <csetjmp>
#include <exception>

#include "api/live_handles.h"
#include "core/program.h"
#include "expr/script_object.h"
#include "tallow.h"

namespace tallow {

// One entry-point call in progress. Trivially destructible: a jump skips it.
struct CallbackFrame {
    std::jmp_buf buffer;
    CallbackFrame* previous;
};

// Per program: the innermost call in progress (calls nest: an extension's
// call-back can evaluate an expression that calls another extension) and
// the exception a call-back caught on its way back to it.
struct CallbackState {
    CallbackFrame* top = nullptr;
    std::exception_ptr pending;
};

// Calls fn(args...) with a frame pushed and stores its result in *result
// when result is not null. False when a call-back jumped back: the caller
// must then call RaiseCallbackError from its own frame. Only the extension's
// frames lie between the setjmp here and the call-back that jumps.
template <class Fn, class... Args>
[[nodiscard]] bool CallProtected(CallbackState& state, int* result, Fn fn, Args... args) {
    CallbackFrame frame;
    frame.previous = state.top;
    if (setjmp(frame.buffer) != 0) {
        state.top = frame.previous;
        return false;
    }
    state.top = &frame;
    int value = fn(args...);
    state.top = frame.previous;
    if (result) *result = value;
    return true;
}

// Raises the exception that a call-back caught, or a ScriptError.
[[noreturn]] void RaiseCallbackError(CallbackState& state);

// Drops a caught exception when there is nothing to raise it in.
inline void DiscardCallbackError(CallbackState& state) {
    state.pending = nullptr;
}

CallbackState& CallbackStateOf(Program& program);

// Runs the body of a call-back export for the object behind handle. When the
// body raises and an entry point is in progress, jumps back to it; with
// none in progress, or for a null, stale or unknown handle, gives neutral.
template <class R, class Body>
R RunCallback(TallowObjectHandle handle, R neutral, const Body& body) {
    ScriptObject* object = api::LiveObject(handle);
    if (!object) return neutral;
    CallbackState& state = CallbackStateOf(object->Owner());
    try {
        return body(*object);
    } catch (...) {
        state.pending = std::current_exception();
    }
    // Past the handler, so the exception is held by pending alone.
    if (state.top) std::longjmp(state.top->buffer, 1);
    DiscardCallbackError(state);
    return neutral;
}

}  // namespace tallow
