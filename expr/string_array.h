// The "stringarray" type: a script object holding a list of strings, with
// element syntax name$[i] and its members (add, insert, sort, getvalue, ...).
#pragma once

#include <string>
#include <vector>

#include "script_object.h"

namespace tallow {

// Bit values of the sort options.
constexpr int kSortCaseSensitive = 1;
constexpr int kSortReverse = 2;

class StringArrayObject : public ScriptObject {
public:
    StringArrayObject(Program& program, std::string name);

    void ProcessStatement(int id) override;
    double ProcessNumFunction(int id) override;
    std::string ProcessStringFunction(int id) override;
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;
    size_t MemoryInUse() const override;

    // Element index (1-based); "array index out of bounds" (kind 1) outside.
    std::string& Element(int index);
    // A negative size empties the array.
    void SetSize(int size);

    std::vector<std::string> items;
};

class StringArrayFactory : public ObjectFactory {
public:
    explicit StringArrayFactory(Program& program) : ObjectFactory(program, "stringarray") {}
    ScriptObject* Create(const std::string& name) override;
};

// The algorithms behind the members, usable on their own.
void SortStrings(std::vector<std::string>& items, int options);
// Replaces every occurrence of find in text; an empty find changes nothing.
std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement);
// Splits text at any of delims; runs of delimiters are one separator and no
// piece is empty.
std::vector<std::string> SplitTokens(const std::string& text, const std::string& delims);
// The value of the first element "key=value" whose key matches, or "".
std::string LookUpValue(const std::vector<std::string>& items, const std::string& key);

}  // namespace tallow
