// Loading the registered extension libraries at the start of every run, and
// the lists of extension objects and factories a program owns.
#include "api/extension_host.h"

#include "core/program.h"
#include "expr/evaluator.h"
#include "expr/names.h"
#include "platform/library.h"
#include "platform/registry.h"

namespace tallow {

namespace {

// Calls visit(name, registration) for each readable registration in
// section. wait says whether a store that another process holds locked is
// waited for.
template <class Visit>
void ForEachRegistration(const char* section, platform::RegistryWait wait, Visit visit) {
    platform::RegistryKey key;
    std::string path = std::string(kExtensionsKey) + "\\" + section;
    if (!key.Open(platform::RegistryRoot::kCurrentUser, path, true, wait)) return;
    std::string name, data;
    uint32_t type = 0;
    for (uint32_t index = 0; index < kMaxRegistrations; ++index) {
        platform::RegistryEnum result = key.EnumValue(index, name, type, data);
        if (result == platform::RegistryEnum::kNoMoreItems) return;
        if (result != platform::RegistryEnum::kValue) continue;
        if (name.empty() || name.size() > kMaxRegistrationName || data.size() > kMaxRegistrationData)
            continue;
        visit(name, ParseRegistration(data));
    }
}

}  // namespace

void ForEachExtensionRegistration(
    const std::function<void(const char* section, const std::string& name, const Registration&)>& visit) {
    for (const char* section : {kObjectsSection, kFactoriesSection})
        ForEachRegistration(section, platform::RegistryWait::kNeeded,
                            [&](const std::string& name, const Registration& r) { visit(section, name, r); });
}

bool ExtensionLibraryLoads(const std::string& path) {
    platform::Library library;
    if (!library.Load(path)) return false;
    for (const char* entry : {"CreateExtensionObject", "DestroyExtensionObject", "ProcessStatement",
                              "ProcessNumFunction", "ProcessStringFunction"})
        if (!library.Find(entry)) return false;
    return true;
}

Registration ParseRegistration(std::string_view bytes) {
    std::string_view text = bytes.substr(0, bytes.find('\0'));
    size_t semicolon = text.find(';');
    std::string_view number = text.substr(0, semicolon);
    while (!number.empty() && (number.front() == ' ' || number.front() == '\t'))
        number.remove_prefix(1);
    Registration r;
    r.data = TextToInt(number);
    if (semicolon != std::string_view::npos) r.path = std::string(text.substr(semicolon + 1));
    return r;
}

// A run that starts while another process holds the store locked goes on
// soon without what it registers (standard error says so) rather than
// stalling: most runs use no extension at all.
void ExtensionHost::LoadRegistered() {
    LoadObjects();
    LoadFactories();
}

void ExtensionHost::LoadObjects() {
    ForEachRegistration(kObjectsSection, platform::RegistryWait::kOptional,
                        [this](const std::string& name, const Registration& r) {
                            if (HasObject(name)) return;
                            auto object = std::make_unique<ExtensionObject>(program_, name, r.data, r.path);
                            if (object->Initialized()) objects_.push_back(std::move(object));
                        });
}

void ExtensionHost::LoadFactories() {
    ForEachRegistration(
        kFactoriesSection, platform::RegistryWait::kOptional,
        [this](const std::string& name, const Registration& r) {
            if (HasFactory(name)) return;
            factories_.push_back(std::make_unique<ExtensionFactory>(program_, name, r.data, r.path));
        });
}

void ExtensionHost::AddHostObject(std::string name, TallowValue data, const EntryPoints& entry) {
    objects_.reserve(objects_.size() + 1);
    objects_.push_back(std::make_unique<ExtensionObject>(program_, std::move(name), data, entry));
}

void ExtensionHost::AddHostFactory(std::string typeName, TallowValue data, const EntryPoints& entry) {
    factories_.reserve(factories_.size() + 1);
    factories_.push_back(std::make_unique<ExtensionFactory>(program_, std::move(typeName), data, entry));
}

void ExtensionHost::DestroyAll() {
    // Taken out of the lists first: a library's destroy may call back.
    std::vector<std::unique_ptr<ExtensionObject>> objects;
    objects.swap(objects_);
    for (auto& object : objects)
        object.reset();
    std::vector<std::unique_ptr<ExtensionFactory>> factories;
    factories.swap(factories_);
    factories.clear();
}

bool ExtensionHost::HasObject(std::string_view name) const {
    for (const auto& object : objects_)
        if (NamesEqual(object->Name(), name)) return true;
    return false;
}

bool ExtensionHost::HasFactory(std::string_view name) const {
    for (const auto& factory : factories_)
        if (NamesEqual(factory->Name(), name)) return true;
    return false;
}

}  // namespace tallow
