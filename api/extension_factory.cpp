// Extension factories: `new x as type` for registered and host types.
#include "api/extension_factory.h"

namespace tallow {

ExtensionFactory::ExtensionFactory(Program& program, std::string typeName, TallowValue data, std::string path)
    : ObjectFactory(program, std::move(typeName)), libraryBased_(true), data_(data), path_(std::move(path)) {}

ExtensionFactory::ExtensionFactory(Program& program, std::string typeName, TallowValue data,
                                   const EntryPoints& entry)
    : ObjectFactory(program, std::move(typeName)), libraryBased_(false), data_(data), entry_(entry) {}

ScriptObject* ExtensionFactory::Create(const std::string& name) {
    if (libraryBased_) return new ExtensionObject(program_, name, data_, path_);
    return new ExtensionObject(program_, name, data_, entry_);
}

void ExtensionFactory::Destroy(ScriptObject* object) {
    auto* extension = static_cast<ExtensionObject*>(object);
    if (extension->InCall())
        extension->DestroyWhenIdle();
    else
        delete extension;
}

}  // namespace tallow
