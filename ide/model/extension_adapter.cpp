// The extension entry points' adapter: handlers, name lists and results.
#include "ide/model/extension_adapter.h"

#include <algorithm>

#include "ide/model/ide_messages.h"

namespace tallow::ide {

std::string ZeroSeparatedNames(const std::string& names) {
    std::string list = names + std::string(2, '\0');
    std::ranges::replace(list, '|', '\0');
    return list;
}

// Every name the query gives, up to the first empty one, as "index;path".
void ExtensionAdapter::WriteNames(const std::function<std::string(int)>& query, const char* section,
                                  const std::string& path) {
    for (int i = 0;; ++i) {
        std::string name = query(i);
        if (name.empty()) break;
        engine_.WriteRegistryString(kExtensionsKey, section, name, std::to_string(i) + ";" + path);
    }
}

int ExtensionAdapter::RegisterExtension() {
    if (!onQueryFactoryName) throw ExtensionError(msg::kOnQueryFactoryNameNotImplemented);
    if (!onQueryObjectName) throw ExtensionError(msg::kOnQueryObjectNameNotImplemented);
    std::optional<std::string> path = engine_.LibraryPath();
    if (!path) throw ExtensionError(msg::kCannotGetLibraryFileName);
    WriteNames(onQueryFactoryName, kFactoriesSection, *path);
    WriteNames(onQueryObjectName, kObjectsSection, *path);
    return 1;
}

int ExtensionAdapter::CreateExtensionObject(EngineHandle object, EngineValue data, const char** statements,
                                            const char** numberFunctions, const char** stringFunctions) {
    if (!onNew) throw ExtensionError(msg::kOnNewNotImplemented);
    LibraryObject* created = onNew(object, data);
    if (!created) return 0;
    NameLists& lists = nameLists_[created];
    lists = {ZeroSeparatedNames(created->StatementNames()), ZeroSeparatedNames(created->NumFunctionNames()),
             ZeroSeparatedNames(created->StringFunctionNames())};
    if (statements) *statements = lists.statements.c_str();
    if (numberFunctions) *numberFunctions = lists.numberFunctions.c_str();
    if (stringFunctions) *stringFunctions = lists.stringFunctions.c_str();
    return engine_.SetProperty(object, kObjectPointerProperty, reinterpret_cast<EngineValue>(created));
}

int ExtensionAdapter::DestroyExtensionObject(EngineHandle object, EngineValue data) {
    if (!onDelete) throw ExtensionError(msg::kOnDeleteNotImplemented);
    LibraryObject* found = ObjectOf(object);
    if (!found) return 0;
    nameLists_.erase(found);
    return onDelete(found, data);
}

LibraryObject* ExtensionAdapter::ObjectOf(EngineHandle object) {
    return reinterpret_cast<LibraryObject*>(engine_.GetProperty(object, kObjectPointerProperty));
}

int ExtensionAdapter::ProcessStatement(EngineHandle object, int id) {
    LibraryObject* found = ObjectOf(object);
    return found ? found->Statement(id) : 0;
}

int ExtensionAdapter::ProcessNumFunction(EngineHandle object, int id, double* result) {
    LibraryObject* found = ObjectOf(object);
    if (!found) return 0;
    double value = found->NumFunction(id);
    if (result) *result = value;
    return 1;
}

int ExtensionAdapter::ProcessStringFunction(EngineHandle object, int id, const char** result) {
    LibraryObject* found = ObjectOf(object);
    if (!found) return 0;
    result_ = found->StringFunction(id);
    if (result) *result = result_.c_str();
    return 1;
}

}  // namespace tallow::ide
