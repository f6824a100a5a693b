// What a program keeps of extensions: the extension objects and extension
// factories it owns across runs, the loader of the registered libraries, and
// the state of the call-back boundary.
#pragma once

#include <functional>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "api/callback_guard.h"
#include "api/extension_factory.h"
#include "api/extension_object.h"

namespace tallow {

class Program;

// The registry keys of the registrations, below HKEY_CURRENT_USER.
constexpr const char kExtensionsKey[] = "Software\\Quenby Software\\Tallow\\Extensions";
constexpr const char kObjectsSection[] = "Objects";
constexpr const char kFactoriesSection[] = "Factories";
// Longest value name the loader reads: the registrations' names are short
// script names, and a longer one is not a registration.
constexpr size_t kMaxRegistrationName = 31;
// Most bytes of data (its NUL included) the loader reads for one value.
constexpr size_t kMaxRegistrationData = 1024;
// Most values read from one key, so a damaged key cannot stall every run.
constexpr uint32_t kMaxRegistrations = 1024;

// One registration's data "number;path": the text before the first ";" read
// as a decimal integer, the rest the library path (empty without a ";").
// Calls visit(section, name, registration) for every readable registration
// of both sections, in the loader's order.
void ForEachExtensionRegistration(const std::function<void(const char* section, const std::string& name,
                                                           const struct Registration&)>& visit);
// Whether the library at path loads and exports the five entry points.
bool ExtensionLibraryLoads(const std::string& path);

struct Registration {
    TallowValue data = 0;
    std::string path;
};
Registration ParseRegistration(std::string_view bytes);

class ExtensionHost {
public:
    explicit ExtensionHost(Program& program) : program_(program) {}
    ~ExtensionHost() { DestroyAll(); }
    ExtensionHost(const ExtensionHost&) = delete;
    ExtensionHost& operator=(const ExtensionHost&) = delete;

    // Reads both registry lists and adds every object and type not yet
    // present. A library that cannot be loaded raises "Could not initialize
    // extension library!" (kind 1); values that cannot be read are skipped.
    void LoadRegistered();

    // InsertObject and InsertFactory: the host's objects and types, kept
    // until the program is destroyed. AddHostObject raises what the
    // object's construction raises.
    void AddHostObject(std::string name, TallowValue data, const EntryPoints& entry);
    void AddHostFactory(std::string typeName, TallowValue data, const EntryPoints& entry);

    // Destroys the extension objects, then the factories, while the program
    // is still whole (their libraries may call back while they go).
    void DestroyAll();

    size_t ObjectCount() const { return objects_.size(); }
    size_t FactoryCount() const { return factories_.size(); }

    CallbackState callbacks;

private:
    void LoadObjects();
    void LoadFactories();
    bool HasObject(std::string_view name) const;
    bool HasFactory(std::string_view name) const;

    Program& program_;
    std::vector<std::unique_ptr<ExtensionObject>> objects_;
    std::vector<std::unique_ptr<ExtensionFactory>> factories_;
};

}  // namespace tallow
