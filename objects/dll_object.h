// Objects of the type `dll`: a loaded library whose functions the script
// declares by name and signature and then calls as members of the object.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "expr/script_object.h"
#include "objects/dynamic_function.h"
#include "platform/library.h"

namespace tallow {

namespace msg {
constexpr const char kDllLoad[] = "Could not load library!";
constexpr const char kDllLink[] = "Could not link to function!";
constexpr const char kDllBadParam[] = "Invalid dynamic function parameter!";
constexpr const char kDllUnknownFunction[] = "Unknown/Unlinked DLL function!";
constexpr const char kDllValueTooWide[] = "Value does not fit a 32-bit parameter!";
}  // namespace msg

class DllObject : public ScriptObject {
public:
    DllObject(Program& program, std::string name, platform::Library library);

    // Id 1 is declare, the member of its table; from 2 on the declared
    // statements, in order.
    void ProcessStatement(int id) override;
    // Ids from 1: the declared number and string functions, in order.
    double ProcessNumFunction(int id) override;
    std::string ProcessStringFunction(int id) override;

    // declare: the member of its table.
    void Declare();

private:
    struct CallResult {
        uint64_t raw = 0;  // the result register
        std::string text;  // a string result, "" for a null address
    };
    // Reads the call's parameters, calls and writes back by-reference
    // variables. The definition is a copy: a parameter may run a procedure
    // that declares more functions and so moves the lists.
    CallResult Call(DynamicFunction function);

    platform::Library library_;
    std::vector<DynamicFunction> statements_;
    std::vector<DynamicFunction> numFunctions_;
    std::vector<DynamicFunction> stringFunctions_;
};

// The type `dll`: new name as dll strexpr (the library's path or name).
class DllFactory : public ObjectFactory {
public:
    explicit DllFactory(Program& program) : ObjectFactory(program, "dll") {}
    // "Could not load library!" (kind 1) when loading fails.
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
