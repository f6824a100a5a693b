// TallowEdit's own extension entry points over ExtensionAdapter. No handler
// is installed, so each fails with its "not implemented" error, which goes
// to the engine through ThrowError; no C++ exception leaves an entry point.
// The engine's GetProperty, SetProperty and ThrowError are looked up in
// TallowCore.dll at first use, so TallowEdit starts without the engine.
#include <windows.h>

#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "ide/model/extension_adapter.h"
#include "ide/win32/win32_document_host.h"
#include "ide/win32/win_handles.h"
#include "include/tallow.h"

namespace {

using tallow::ide::EngineHandle;
using tallow::ide::EngineValue;
using tallow::ide::ExtensionAdapter;

constexpr const char* kEngineLibrary = "TallowCore.dll";
// The longest library path the registration writes.
constexpr DWORD kMaxLibraryPath = 1023;
// An error's text as handed to the engine; longer texts are cut.
constexpr size_t kMessageSize = 256;
constexpr int kRuntimeKind = 1;

using SetPropertyProc = int(TALLOW_API*)(TallowObjectHandle, const char*, TallowValue);
using GetPropertyProc = TallowValue(TALLOW_API*)(TallowObjectHandle, const char*);
using ThrowErrorProc = void(TALLOW_API*)(TallowObjectHandle, int, const char*);

// The engine's call-backs, resolved once; null when TallowCore cannot be loaded.
struct EngineEntries {
    tallow::ide::win32::UniqueModule library;
    SetPropertyProc setProperty = nullptr;
    GetPropertyProc getProperty = nullptr;
    ThrowErrorProc throwError = nullptr;

    EngineEntries() : library(LoadLibraryA(kEngineLibrary)) {
        if (!library) return;
        setProperty = Resolve<SetPropertyProc>("SetProperty");
        getProperty = Resolve<GetPropertyProc>("GetProperty");
        throwError = Resolve<ThrowErrorProc>("ThrowError");
    }
    template <typename P>
    P Resolve(const char* name) {
        return reinterpret_cast<P>(reinterpret_cast<void*>(GetProcAddress(library.Get(), name)));
    }
};

EngineEntries& Engine() {
    static EngineEntries entries;
    return entries;
}

class Win32ExtensionEngine : public tallow::ide::ExtensionEngine {
public:
    int SetProperty(EngineHandle object, const char* name, EngineValue value) override {
        auto entry = Engine().setProperty;
        return entry ? entry(static_cast<TallowObjectHandle>(object), name, value) : 0;
    }
    EngineValue GetProperty(EngineHandle object, const char* name) override {
        auto entry = Engine().getProperty;
        return entry ? entry(static_cast<TallowObjectHandle>(object), name) : 0;
    }
    std::optional<std::string> LibraryPath() override {
        char path[kMaxLibraryPath + 1] = {};
        DWORD length = GetModuleFileNameA(nullptr, path, kMaxLibraryPath + 1);
        if (length == 0 || length > kMaxLibraryPath) return std::nullopt;
        return std::string(path, length);
    }
    void WriteRegistryString(const std::string& key, const std::string& section, const std::string& name,
                             const std::string& value) override {
        tallow::ide::win32::Win32DocumentHost().WriteRegistryString(key, section, name, value);
    }
};

ExtensionAdapter& Adapter() {
    static Win32ExtensionEngine engine;
    static ExtensionAdapter adapter(engine);
    return adapter;
}

// Runs an entry point's work. A failure's text is copied into a plain buffer
// before the engine hears of it: ThrowError does not return, so nothing with
// a destructor may be alive in this frame or its caller's when it is called.
template <typename F>
int Guard(TallowObjectHandle object, F&& work) {
    char message[kMessageSize] = {};
    int result = 0;
    try {
        result = work();
    } catch (const std::exception& e) {
        std::strncpy(message, e.what(), kMessageSize - 1);
    } catch (...) {
        std::strncpy(message, "Internal error", kMessageSize - 1);
    }
    if (message[0] == '\0') return result;
    ThrowErrorProc raise = nullptr;
    try {
        raise = Engine().throwError;
    } catch (...) {
    }
    if (raise && object) raise(object, kRuntimeKind, message);
    return 0;
}

}  // namespace

extern "C" {

int TALLOW_ENTRY RegisterExtension(void) {
    return Guard(nullptr, [] { return Adapter().RegisterExtension(); });
}

int TALLOW_ENTRY CreateExtensionObject(TallowObjectHandle object, TallowValue data, const char** statements,
                                       const char** numberFunctions, const char** stringFunctions) {
    return Guard(object, [&] {
        return Adapter().CreateExtensionObject(object, data, statements, numberFunctions, stringFunctions);
    });
}

int TALLOW_ENTRY DestroyExtensionObject(TallowObjectHandle object, TallowValue data) {
    return Guard(object, [&] { return Adapter().DestroyExtensionObject(object, data); });
}

int TALLOW_ENTRY ProcessStatement(TallowObjectHandle object, int id) {
    return Guard(object, [&] { return Adapter().ProcessStatement(object, id); });
}

int TALLOW_ENTRY ProcessNumFunction(TallowObjectHandle object, int id, double* result) {
    return Guard(object, [&] { return Adapter().ProcessNumFunction(object, id, result); });
}

int TALLOW_ENTRY ProcessStringFunction(TallowObjectHandle object, int id, const char** result) {
    return Guard(object, [&] { return Adapter().ProcessStringFunction(object, id, result); });
}

}  // extern "C"
