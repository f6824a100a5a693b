// The library side of the extension protocol as the development environment
// carries it: the six entry points forward to handler routines and to a
// library object. With no handlers installed (as in the environment itself)
// each entry point fails with its "not implemented" error. The C exports
// wrap these calls and catch ExtensionError at their boundary.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace tallow::ide {

// What an entry point raises; its text is one of the fixed messages.
class ExtensionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using EngineHandle = void*;  // the engine's object handle, never looked into
using EngineValue = intptr_t;

inline constexpr const char* kObjectPointerProperty = "EXTOBJPTR";
inline constexpr const char* kExtensionsKey = "Software\\Quenby Software\\Tallow\\Extensions";
inline constexpr const char* kFactoriesSection = "Factories";
inline constexpr const char* kObjectsSection = "Objects";

// A library's object: three operations in slot order and three name lists,
// each a text of names separated by "|".
class LibraryObject {
public:
    virtual ~LibraryObject() = default;
    virtual int Statement(int id) = 0;
    virtual double NumFunction(int id) = 0;
    virtual std::string StringFunction(int id) = 0;
    virtual std::string StatementNames() const = 0;
    virtual std::string NumFunctionNames() const = 0;
    virtual std::string StringFunctionNames() const = 0;
};

// What the adapter needs from the engine and the system.
class ExtensionEngine {
public:
    virtual ~ExtensionEngine() = default;
    virtual int SetProperty(EngineHandle object, const char* name, EngineValue value) = 0;
    virtual EngineValue GetProperty(EngineHandle object, const char* name) = 0;
    // The full path of the library file itself; nothing when it cannot be had.
    virtual std::optional<std::string> LibraryPath() = 0;
    virtual void WriteRegistryString(const std::string& key, const std::string& section,
                                     const std::string& name, const std::string& value) = 0;
};

// "a|b" as the engine reads name lists: each name ended by a zero, and one
// more zero after the last.
std::string ZeroSeparatedNames(const std::string& names);

class ExtensionAdapter {
public:
    explicit ExtensionAdapter(ExtensionEngine& engine) : engine_(engine) {}

    // The handlers; empty in the development environment. The object onNew
    // makes belongs to the library, and onDelete destroys it.
    std::function<LibraryObject*(EngineHandle object, EngineValue data)> onNew;
    std::function<int(LibraryObject* object, EngineValue data)> onDelete;
    std::function<std::string(int index)> onQueryFactoryName;  // "" after the last
    std::function<std::string(int index)> onQueryObjectName;   // "" after the last

    // Each raises ExtensionError with its message where the protocol fails.
    int RegisterExtension();
    int CreateExtensionObject(EngineHandle object, EngineValue data, const char** statements,
                              const char** numberFunctions, const char** stringFunctions);
    int DestroyExtensionObject(EngineHandle object, EngineValue data);
    // The three calls do nothing and give 0 for a handle without a library object.
    int ProcessStatement(EngineHandle object, int id);
    int ProcessNumFunction(EngineHandle object, int id, double* result);
    // The string stays valid until the next string call.
    int ProcessStringFunction(EngineHandle object, int id, const char** result);

private:
    // The name lists handed to the engine for one object, kept while it lives.
    struct NameLists {
        std::string statements, numberFunctions, stringFunctions;
    };
    LibraryObject* ObjectOf(EngineHandle object);
    void WriteNames(const std::function<std::string(int)>& query, const char* section,
                    const std::string& path);

    ExtensionEngine& engine_;
    std::map<LibraryObject*, NameLists> nameLists_;
    std::string result_;
};

}  // namespace tallow::ide
