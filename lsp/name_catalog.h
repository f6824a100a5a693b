// What a script can name without defining it, as the engine registers it:
// keywords, the system's statements, functions, constants, built-in objects
// and creatable types with their members; and the reference's entry for each
// name, for hover and signature help.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tallow {
class Program;
}

namespace tallow::lsp {

struct ReferenceEntry {
    const char* name;     // lower case: "abs", "clock.now"
    const char* forms;    // the entry's forms, one a line (may be empty)
    const char* summary;  // its one-line description
};

class NameCatalog {
public:
    // Lists the names of a fresh program, p (used for nothing else).
    explicit NameCatalog(Program& p);

    const std::vector<std::string>& Keywords() const { return keywords_; }
    const std::vector<std::string>& Statements() const { return statements_; }
    const std::vector<std::string>& Functions() const { return functions_; }
    const std::vector<std::string>& Constants() const { return constants_; }  // without their @
    const std::vector<std::string>& Objects() const { return objects_; }
    const std::vector<std::string>& Types() const { return types_; }
    // The members of a built-in object or creatable type ("dialog" too):
    // statements and functions by name, properties with their suffix. Null
    // for a name that is neither.
    const std::vector<std::string>* MembersOf(std::string_view objectOrType) const;
    bool IsObject(std::string_view name) const;

    // The reference's entry for a name ("abs", "clock.now"), or null.
    static const ReferenceEntry* Reference(std::string_view name);

private:
    std::vector<std::string> keywords_, statements_, functions_, constants_, objects_, types_;
    std::map<std::string, std::vector<std::string>> members_;  // by lower-case owner
};

}  // namespace tallow::lsp
