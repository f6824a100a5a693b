// The extension entry points' adapter, the engine's call-backs found at
// first use, and the way an error reaches the engine.
#include "ide/win32/extension_entry.h"

#include <windows.h>

#include <optional>
#include <string>

#include "ide/win32/win32_document_host.h"
#include "ide/win32/win_handles.h"
#include "include/tallow.h"

namespace tallow::ide::win32 {

namespace {

constexpr const char* kEngineLibrary = "TallowCore.dll";
// The longest library path the registration writes.
constexpr DWORD kMaxLibraryPath = 1023;
// ThrowError's kind for an error a TRY block can catch.
constexpr int kRuntimeKind = 1;

using SetPropertyProc = int(TALLOW_API*)(TallowObjectHandle, const char*, TallowValue);
using GetPropertyProc = TallowValue(TALLOW_API*)(TallowObjectHandle, const char*);
using ThrowErrorProc = void(TALLOW_API*)(TallowObjectHandle, int, const char*);

// The engine's call-backs, resolved once; null when TallowCore cannot be loaded.
struct EngineEntries {
    UniqueModule library;
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

class Win32ExtensionEngine : public ExtensionEngine {
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
        Win32DocumentHost().WriteRegistryString(key, section, name, value);
    }
};

EngineRaiser installedRaiser = nullptr;

}  // namespace

ExtensionAdapter& EntryAdapter() {
    static Win32ExtensionEngine engine;
    static ExtensionAdapter adapter(engine);
    return adapter;
}

void SetEngineRaiser(EngineRaiser raiser) {
    installedRaiser = raiser;
}

void RaiseInEngine(void* object, const char* message) {
    if (!object) return;
    if (installedRaiser) return installedRaiser(object, kRuntimeKind, message);
    ThrowErrorProc raise = nullptr;
    try {
        raise = Engine().throwError;
    } catch (...) {
        return;  // the engine could not even be looked for
    }
    if (raise) raise(static_cast<TallowObjectHandle>(object), kRuntimeKind, message);
}

}  // namespace tallow::ide::win32
