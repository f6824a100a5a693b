// The catalog is read from a program once, when the server starts: an
// unnamed, unconnected object of each creatable type is made (touching no
// system resource) to list its members.
#include "name_catalog.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>

#include "core/main_object.h"
#include "core/program.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "objects/dde_client_object.h"
#include "objects/dialog_object.h"
#include "objects/dll_object.h"
#include "objects/ini_file_object.h"
#include "objects/mailslot_object.h"
#include "objects/printer_object.h"
#include "objects/registry_object.h"
#include "objects/sample_objects.h"
#include "objects/serial_port_object.h"
#include "objects/socket_object.h"

namespace tallow::lsp {

namespace {

const ReferenceEntry kReference[] = {
#include "lsp/reference_entries.inc"
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

void AddNames(std::vector<std::string>& out, const NameList& list) {
    for (int id = 1; id <= list.Size(); ++id)
        if (!list.At(id).empty()) out.push_back(list.At(id));
}

std::vector<std::string> MemberNames(const ScriptObject& object) {
    std::vector<std::string> out;
    for (const NameList* list : {&object.statements, &object.numFunctions, &object.stringFunctions})
        AddNames(out, *list);
    for (size_t i = 0; i < object.numMembers.Size(); ++i)
        out.push_back(object.numMembers.NameAt(i) + "#");
    for (size_t i = 0; i < object.strMembers.Size(); ++i)
        out.push_back(object.strMembers.NameAt(i) + "$");
    return out;
}

void SortUnique(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

}  // namespace

NameCatalog::NameCatalog(Program& p) {
    MainObject& main = p.Main();
    AddNames(keywords_, main.statements);
    AddNames(functions_, main.numFunctions);
    AddNames(functions_, main.stringFunctions);
    if (ScriptObject* system = main.SystemPartner()) {
        AddNames(statements_, system->statements);
        AddNames(functions_, system->numFunctions);
        AddNames(functions_, system->stringFunctions);
    }
    for (const std::string& name : p.ObjectNames()) {
        objects_.push_back(name);
        members_[Lower(name)] = MemberNames(*p.FindObject(name));
    }
    for (const std::string& name : p.FactoryNames()) {
        types_.push_back(name);
        auto maker = SampleObjectMakers().find(Lower(name));
        if (maker != SampleObjectMakers().end()) members_[Lower(name)] = MemberNames(*maker->second(p));
    }
    members_["dialog"] = MemberNames(DialogObject(p, "", nullptr));
    // Last: some types define their constants when their first object is made.
    for (size_t i = 0; i < main.constants.Size(); ++i)
        constants_.push_back(main.constants.NameAt(i));
    for (auto* list : {&keywords_, &statements_, &functions_, &constants_, &objects_, &types_})
        SortUnique(*list);
    for (auto& [owner, names] : members_)
        SortUnique(names);
}

const std::vector<std::string>* NameCatalog::MembersOf(std::string_view objectOrType) const {
    auto it = members_.find(Lower(objectOrType));
    return it == members_.end() ? nullptr : &it->second;
}

bool NameCatalog::IsObject(std::string_view name) const {
    std::string lower = Lower(name);
    for (const std::string& object : objects_)
        if (Lower(object) == lower) return true;
    return false;
}

const ReferenceEntry* NameCatalog::Reference(std::string_view name) {
    std::string lower = Lower(name);
    auto it = std::lower_bound(std::begin(kReference), std::end(kReference), lower,
                               [](const ReferenceEntry& e, const std::string& key) { return e.name < key; });
    return it != std::end(kReference) && it->name == lower ? it : nullptr;
}

}  // namespace tallow::lsp
