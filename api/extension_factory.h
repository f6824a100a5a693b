// Extension factories: object types whose objects are extension objects,
// served by a registered library or by a host's functions.
#pragma once

#include <string>

#include "api/extension_object.h"
#include "expr/script_object.h"

namespace tallow {

class ExtensionFactory : public ObjectFactory {
public:
    // A type read from the registry: each object loads the library at path.
    ExtensionFactory(Program& program, std::string typeName, TallowValue data, std::string path);
    // A host's type (InsertFactory): each object is served by entry.
    ExtensionFactory(Program& program, std::string typeName, TallowValue data, const EntryPoints& entry);

    // Creates an initialised extension object, or raises what its
    // construction raised.
    ScriptObject* Create(const std::string& name) override;
    // Destroys the object, or once its entry point in progress returns.
    void Destroy(ScriptObject* object) override;

    bool LibraryBased() const { return libraryBased_; }

private:
    bool libraryBased_;
    TallowValue data_;
    std::string path_;
    EntryPoints entry_;
};

}  // namespace tallow
