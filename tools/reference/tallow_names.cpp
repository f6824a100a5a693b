// Lists every name a script can reach, as the engine registers it: keywords,
// built-in functions and the system partner's members, constants, built-in
// objects and creatable types with their members. One "KIND<TAB>NAME" line
// each, sorted; the reference's completeness check compares its entries
// with this list.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

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
#include "platform/message_box.h"

namespace tallow {
namespace {

void AddMembers(std::vector<std::string>& out, const std::string& owner, const ScriptObject& object) {
    for (const NameList* list : {&object.statements, &object.numFunctions, &object.stringFunctions})
        for (int id = 1; id <= list->Size(); ++id)
            if (!list->At(id).empty()) out.push_back("member\t" + owner + "." + list->At(id));
}

void AddNames(std::vector<std::string>& out, const char* kind, const NameList& list) {
    for (int id = 1; id <= list.Size(); ++id)
        if (!list.At(id).empty()) out.push_back(std::string(kind) + "\t" + list.At(id));
}

int ListNames() {
    platform::SetUnattended(true);
    Program program;
    std::vector<std::string> out;
    MainObject& main = program.Main();
    AddNames(out, "keyword", main.statements);
    AddNames(out, "function", main.numFunctions);
    AddNames(out, "function", main.stringFunctions);
    // The system partner's statements are statements, its functions functions.
    if (ScriptObject* system = main.SystemPartner()) {
        AddNames(out, "statement", system->statements);
        AddNames(out, "function", system->numFunctions);
        AddNames(out, "function", system->stringFunctions);
    }
    for (const std::string& name : program.ObjectNames()) {
        out.push_back("object\t" + name);
        AddMembers(out, name, *program.FindObject(name));
    }
    int status = 0;
    for (const std::string& name : program.FactoryNames()) {
        auto maker = SampleObjectMakers().find(name);
        if (maker == SampleObjectMakers().end()) {
            std::fprintf(stderr, "tallow_names: no sample object for the type %s\n", name.c_str());
            status = 1;
            continue;
        }
        out.push_back("type\t" + name);
        AddMembers(out, name, *maker->second(program));
    }
    // Dialogs come from code files, not from a type of their own.
    out.push_back("type\tdialog");
    AddMembers(out, "dialog", DialogObject(program, "", nullptr));
    // Last: some types define their constants when their first object is made.
    for (size_t i = 0; i < main.constants.Size(); ++i)
        out.push_back("constant\t" + main.constants.NameAt(i));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    for (const std::string& line : out)
        std::printf("%s\n", line.c_str());
    return status;
}

}  // namespace
}  // namespace tallow

int main() {
    try {
        return tallow::ListNames();
    } catch (...) {
        std::fprintf(stderr, "tallow_names: the engine failed while listing its names\n");
        return 1;
    }
}
