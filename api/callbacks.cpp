// The call-back exports an extension uses while the engine is inside one of
// its entry points: parameters, expressions and conditions, errors,
// variables, members and arrays. Each body runs inside RunCallback, so a
// script error it raises goes back to the engine's frame by longjmp.
#include <cstdlib>
#include <cstring>

#include "api/callback_guard.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "tallow.h"

using tallow::Program;
using tallow::RunCallback;
using tallow::ScriptObject;

namespace {

// A copy of text for the library, released with FreeString; null when
// memory runs out.
char* CopyOut(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// Copies at most size-1 bytes of text and a NUL into buffer.
void CopyInto(const std::string& text, char* buffer, int size) {
    if (!buffer || size < 1) return;
    size_t n = text.size() < size_t(size - 1) ? text.size() : size_t(size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

bool Named(const char* name) {
    return name && *name;
}

// Runs a call-back that reads the script text after the member's name.
// Outside a run there is no such text (the lexer still holds the last
// run's), so it reads nothing and gives neutral.
template <class R, class Body>
R ReadScriptText(TallowObjectHandle object, R neutral, const Body& body) {
    return RunCallback(object, neutral,
                       [&](ScriptObject& o) { return o.Owner().IsRunning() ? body(o) : neutral; });
}

// One side of a typed comparison. A side the type peek cannot classify, such
// as "(1 + 2)", is read as the type asked for; one of the other type is refused.
void EvalSide(Program& p, tallow::ExprType type, std::string& text, double& number) {
    tallow::Evaluator& ev = p.Eval();
    tallow::ExprType peek = ev.PeekExprType();
    bool isString = type == tallow::kExprString;
    if (peek != tallow::kExprUnknown && peek != type)
        p.ReportError(tallow::kSyntaxKind,
                      isString ? tallow::msg::kStringExprExpected : tallow::msg::kNumExprExpected);
    if (isString)
        text = ev.EvalString();
    else
        number = ev.EvalNum();
}

// typedcondition = side relop side, both sides of the given type; strings
// compare as unsigned bytes, as in every other condition.
int TypedCondition(Program& p, tallow::ExprType type) {
    std::string leftText, rightText;
    double left = 0, right = 0;
    EvalSide(p, type, leftText, left);
    char buffer[3];
    std::string_view opText = p.Eval().OperatorText(buffer);
    EvalSide(p, type, rightText, right);
    tallow::RelOp op = tallow::RelOp::Eq;
    if (!tallow::RelationalOperatorOf(opText, op))
        p.ReportError(tallow::kSyntaxKind, tallow::msg::kConditionalOperator);
    return type == tallow::kExprString ? tallow::Compare(op, leftText, rightText)
                                       : tallow::Compare(op, left, right);
}

}  // namespace

extern "C" {

// ---- Parameters, expressions and conditions ---------------------------------

TALLOW_EXPORT int TALLOW_API HasFirstParam(TallowObjectHandle object, int required) {
    return ReadScriptText(
        object, 0, [&](ScriptObject& o) { return o.Owner().Eval().HasFirstParam(required != 0) ? 1 : 0; });
}

TALLOW_EXPORT int TALLOW_API HasNextParam(TallowObjectHandle object, int required) {
    return ReadScriptText(
        object, 0, [&](ScriptObject& o) { return o.Owner().Eval().HasNextParam(required != 0) ? 1 : 0; });
}

TALLOW_EXPORT void TALLOW_API EvalString(TallowObjectHandle object, char* buffer, int size) {
    if (!buffer) return;
    ReadScriptText(object, 0, [&](ScriptObject& o) {
        CopyInto(o.Owner().Eval().EvalString(), buffer, size);
        return 0;
    });
}

TALLOW_EXPORT void TALLOW_API EvalNum(TallowObjectHandle object, double* result) {
    if (!result) return;
    ReadScriptText(object, 0, [&](ScriptObject& o) {
        *result = o.Owner().Eval().EvalNum();
        return 0;
    });
}

TALLOW_EXPORT void TALLOW_API EvalKeyword(TallowObjectHandle object, char* buffer, int size) {
    if (!buffer) return;
    ReadScriptText(object, 0, [&](ScriptObject& o) {
        CopyInto(o.Owner().Eval().ReadName(), buffer, size);
        return 0;
    });
}

TALLOW_EXPORT int TALLOW_API Test(TallowObjectHandle object) {
    return ReadScriptText(object, 0, [&](ScriptObject& o) { return o.Owner().Eval().EvalCondition(); });
}

TALLOW_EXPORT int TALLOW_API TestString(TallowObjectHandle object) {
    return ReadScriptText(object, 0,
                          [&](ScriptObject& o) { return TypedCondition(o.Owner(), tallow::kExprString); });
}

TALLOW_EXPORT int TALLOW_API TestNum(TallowObjectHandle object) {
    return ReadScriptText(object, 0,
                          [&](ScriptObject& o) { return TypedCondition(o.Owner(), tallow::kExprNumber); });
}

// ---- Errors -------------------------------------------------------------------

TALLOW_EXPORT void TALLOW_API ThrowError(TallowObjectHandle object, int kind, const char* message) {
    RunCallback(object, 0, [&](ScriptObject& o) {
        Program& p = o.Owner();
        // Kinds 0 and 1 unwind; a warning is shown and the statement goes on.
        p.ReportMessage(kind, message ? message : tallow::msg::kInternalError);
        return 0;
    });
}

// ---- Constants and variables ------------------------------------------------------

TALLOW_EXPORT void TALLOW_API SetNumConst(TallowObjectHandle object, const char* name, double value) {
    if (!Named(name)) return;
    RunCallback(object, 0, [&](ScriptObject& o) {
        o.Owner().Main().constants.Set(name, value);
        return 0;
    });
}

TALLOW_EXPORT void TALLOW_API SetNumVar(TallowObjectHandle object, const char* name, double value) {
    if (!Named(name)) return;
    RunCallback(object, 0, [&](ScriptObject& o) {
        o.Owner().Main().SetNumMember(name, value);
        return 0;
    });
}

TALLOW_EXPORT double TALLOW_API GetNumVar(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return 0.0;
    return RunCallback(object, 0.0, [&](ScriptObject& o) { return o.Owner().Main().GetNumMember(name); });
}

TALLOW_EXPORT void TALLOW_API SetStringVar(TallowObjectHandle object, const char* name, const char* value) {
    if (!Named(name)) return;
    RunCallback(object, 0, [&](ScriptObject& o) {
        o.Owner().Main().SetStringMember(name, value ? value : "");
        return 0;
    });
}

TALLOW_EXPORT char* TALLOW_API GetStringVar(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return nullptr;
    return RunCallback(object, static_cast<char*>(nullptr),
                       [&](ScriptObject& o) { return CopyOut(o.Owner().Main().GetStringMember(name)); });
}

TALLOW_EXPORT void TALLOW_API FreeString(TallowObjectHandle, char* string) {
    std::free(string);
}

// ---- The object's own members ------------------------------------------------------

TALLOW_EXPORT void TALLOW_API SetNumMember(TallowObjectHandle object, const char* name, double value) {
    if (!Named(name)) return;
    RunCallback(object, 0, [&](ScriptObject& o) {
        o.SetNumMember(name, value);
        return 0;
    });
}

TALLOW_EXPORT double TALLOW_API GetNumMember(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return 0.0;
    return RunCallback(object, 0.0, [&](ScriptObject& o) { return o.GetNumMember(name); });
}

TALLOW_EXPORT void TALLOW_API SetStringMember(TallowObjectHandle object, const char* name,
                                              const char* value) {
    if (!Named(name)) return;
    RunCallback(object, 0, [&](ScriptObject& o) {
        o.SetStringMember(name, value ? value : "");
        return 0;
    });
}

TALLOW_EXPORT char* TALLOW_API GetStringMember(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return nullptr;
    return RunCallback(object, static_cast<char*>(nullptr),
                       [&](ScriptObject& o) { return CopyOut(o.GetStringMember(name)); });
}

// ---- Arrays ----------------------------------------------------------------------

TALLOW_EXPORT void TALLOW_API ClearStringArray(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return;
    RunCallback(object, 0, [&](ScriptObject& o) {
        o.Owner().ClearStringArray(name);
        return 0;
    });
}

TALLOW_EXPORT void TALLOW_API ClearNumArray(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return;
    RunCallback(object, 0, [&](ScriptObject& o) {
        o.Owner().ClearNumArray(name);
        return 0;
    });
}

TALLOW_EXPORT int TALLOW_API AddToStringArray(TallowObjectHandle object, const char* name,
                                              const char* value) {
    if (!Named(name)) return 0;
    return RunCallback(object, 0, [&](ScriptObject& o) {
        tallow::StringArrayObject* array = o.Owner().FindStringArray(name);
        if (!array) return 0;
        array->items.emplace_back(value ? value : "");
        return 1;
    });
}

TALLOW_EXPORT int TALLOW_API AddToNumArray(TallowObjectHandle object, const char* name, double value) {
    if (!Named(name)) return 0;
    return RunCallback(object, 0, [&](ScriptObject& o) {
        tallow::NumArrayObject* array = o.Owner().FindNumArray(name);
        if (!array) return 0;
        array->items.push_back(value);
        return 1;
    });
}

TALLOW_EXPORT int TALLOW_API GetStringArrayCount(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return -1;
    return RunCallback(object, -1, [&](ScriptObject& o) {
        tallow::StringArrayObject* array = o.Owner().FindStringArray(name);
        return array ? int(array->items.size()) : -1;
    });
}

TALLOW_EXPORT int TALLOW_API GetNumArrayCount(TallowObjectHandle object, const char* name) {
    if (!Named(name)) return -1;
    return RunCallback(object, -1, [&](ScriptObject& o) {
        tallow::NumArrayObject* array = o.Owner().FindNumArray(name);
        return array ? int(array->items.size()) : -1;
    });
}

TALLOW_EXPORT char* TALLOW_API GetStringArrayItem(TallowObjectHandle object, const char* name, int index) {
    if (!Named(name)) return nullptr;
    return RunCallback(object, static_cast<char*>(nullptr), [&](ScriptObject& o) -> char* {
        tallow::StringArrayObject* array = o.Owner().FindStringArray(name);
        if (!array || index < 0 || size_t(index) >= array->items.size()) return nullptr;
        return CopyOut(array->items[size_t(index)]);
    });
}

TALLOW_EXPORT double TALLOW_API GetNumArrayItem(TallowObjectHandle object, const char* name, int index) {
    if (!Named(name)) return 0.0;
    return RunCallback(object, 0.0, [&](ScriptObject& o) {
        tallow::NumArrayObject* array = o.Owner().FindNumArray(name);
        if (!array || index < 0 || size_t(index) >= array->items.size()) return 0.0;
        return array->items[size_t(index)];
    });
}

}  // extern "C"
