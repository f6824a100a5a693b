// The "stringarray" type: a script object holding a list of strings, with
// element syntax name$[i], the members of every array and its own (parsetok,
// sort, replaceall, getvalue).
#pragma once

#include <string>
#include <vector>

#include "expr/array_object.h"

namespace tallow {

// Bit values of the sort options.
constexpr int kSortCaseSensitive = 1;
constexpr int kSortReverse = 2;

class StringArrayObject : public ArrayObject<std::string> {
public:
    StringArrayObject(Program& program, std::string name);

    size_t MemoryInUse() const override;

    // The members of its own, after the shared ones; each reads its own
    // parameters.
    void ParseTok();
    void Sort();
    double ReplaceAllMember();  // replaceall
    std::string GetValue();
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
