// Extension objects: loading their library, initialising them through
// CreateExtensionObject, and passing the three member operations on.
#include "api/extension_object.h"

#include "api/callback_guard.h"
#include "core/messages.h"
#include "core/program.h"

namespace tallow {

namespace {

// Registers each name of a list "a\0b\0\0" with ids 1, 2, 3 ...
template <class Add>
void RegisterNames(const char* list, Add add) {
    if (!list) return;
    for (int id = 1; *list; ++id) {
        std::string_view name(list);
        add(name, id);
        list += name.size() + 1;
    }
}

template <class Proc>
Proc FindEntry(const platform::Library& library, const char* name) {
    return reinterpret_cast<Proc>(library.Find(name));
}

}  // namespace

ExtensionObject::ExtensionObject(Program& program, std::string name, TallowValue data,
                                 const std::string& path)
    : ScriptObject(program, std::move(name)), data_(data) {
    if (!library_.Load(path)) program_.ReportError(kRuntimeKind, msg::kCouldNotInitExtension);
    entry_.create = FindEntry<TallowCreateProc>(library_, "CreateExtensionObject");
    entry_.destroy = FindEntry<TallowDestroyProc>(library_, "DestroyExtensionObject");
    entry_.statement = FindEntry<TallowStatementProc>(library_, "ProcessStatement");
    entry_.numberFunction = FindEntry<TallowNumFunctionProc>(library_, "ProcessNumFunction");
    entry_.stringFunction = FindEntry<TallowStringFunctionProc>(library_, "ProcessStringFunction");
    if (!entry_.Complete()) {
        library_.Free();
        program_.ReportError(kRuntimeKind, msg::kCouldNotInitExtension);
    }
    Initialise();
}

ExtensionObject::ExtensionObject(Program& program, std::string name, TallowValue data,
                                 const EntryPoints& entry)
    : ScriptObject(program, std::move(name)), entry_(entry), data_(data) {
    if (!entry_.Complete()) program_.ReportError(kRuntimeKind, msg::kCouldNotCreateExtensionObject);
    Initialise();
}

void ExtensionObject::Initialise() {
    const char* statementList = nullptr;
    const char* numberList = nullptr;
    const char* stringList = nullptr;
    CallbackState& state = CallbackStateOf(program_);
    if (!CallProtected(state, nullptr, entry_.create, Handle(), data_, &statementList, &numberList,
                       &stringList))
        RaiseCallbackError(state);
    RegisterNames(statementList, [this](std::string_view n, int id) { AddStatement(n, id); });
    RegisterNames(numberList, [this](std::string_view n, int id) { AddNumFunction(n, id); });
    RegisterNames(stringList, [this](std::string_view n, int id) { AddStringFunction(n, id); });
    initialized_ = true;
}

ExtensionObject::~ExtensionObject() {
    if (!initialized_) return;
    CallbackState& state = CallbackStateOf(program_);
    if (!CallProtected(state, nullptr, entry_.destroy, Handle(), data_)) DiscardCallbackError(state);
}

// Ids the library did not register are unknown members, as on any object.
// Each call leaves `this` alone once the ActiveCall ends: it may have been
// the last thing keeping the object.
void ExtensionObject::ProcessStatement(int id) {
    if (!initialized_) return;
    if (id < 1 || id > statements.Size()) return ScriptObject::ProcessStatement(id);
    CallbackState& state = CallbackStateOf(program_);
    bool ok;
    {
        ActiveCall call(*this);
        ok = CallProtected(state, nullptr, entry_.statement, Handle(), id);
    }
    if (!ok) RaiseCallbackError(state);
}

double ExtensionObject::ProcessNumFunction(int id) {
    if (!initialized_) return 0.0;
    if (id < 1 || id > numFunctions.Size()) return ScriptObject::ProcessNumFunction(id);
    double result = 0.0;
    CallbackState& state = CallbackStateOf(program_);
    bool ok;
    {
        ActiveCall call(*this);
        ok = CallProtected(state, nullptr, entry_.numberFunction, Handle(), id, &result);
    }
    if (!ok) RaiseCallbackError(state);
    return result;
}

std::string ExtensionObject::ProcessStringFunction(int id) {
    if (!initialized_) return std::string();
    if (id < 1 || id > stringFunctions.Size()) return ScriptObject::ProcessStringFunction(id);
    const char* result = nullptr;
    CallbackState& state = CallbackStateOf(program_);
    bool ok;
    std::string value;
    {
        ActiveCall call(*this);
        ok = CallProtected(state, nullptr, entry_.stringFunction, Handle(), id, &result);
        // Copied while the object, and so the library's string, still lives.
        if (ok && result) value = result;
    }
    if (!ok) RaiseCallbackError(state);
    return value;
}

TallowValue ExtensionObject::GetProperty(std::string_view name) const {
    auto it = properties_.find(name);
    return it == properties_.end() ? 0 : it->second;
}

}  // namespace tallow
