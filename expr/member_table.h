// The one way script objects declare their members: each type has a
// constexpr table of {name, id, handler} for its statements, number
// functions and string functions, registers it with ScriptObject::AddMembers
// and leaves the dispatch by id to ScriptObject.
#pragma once

#include <array>
#include <span>
#include <string>

namespace tallow {

class ScriptObject;

// One member: the name a script writes (matched without regard to case),
// the id it is registered under, and the handler that runs it on the
// object. A handler reads its own parameters from the program's lexer and
// leaves it after the last one. A null handler registers a word that only
// other members read (then, to).
template <class Result>
struct Member {
    const char* name;
    int id;
    Result (*handler)(ScriptObject&);
};

using StatementMember = Member<void>;
using NumFunctionMember = Member<double>;
using StringFunctionMember = Member<std::string>;

// The members of one type. Entry i of each list has the id i + 1 (checked
// by IdsInOrder beside each table), so a handler is found by its id alone.
struct MemberTable {
    std::span<const StatementMember> statements;
    std::span<const NumFunctionMember> numFunctions;
    std::span<const StringFunctionMember> stringFunctions;
};

template <class Result>
constexpr bool IdsInOrder(std::span<const Member<Result>> members) {
    for (size_t i = 0; i < members.size(); ++i)
        if (members[i].id != int(i) + 1) return false;
    return true;
}

constexpr bool IdsInOrder(const MemberTable& table) {
    return IdsInOrder(table.statements) && IdsInOrder(table.numFunctions) &&
           IdsInOrder(table.stringFunctions);
}

// The rows of a then those of b: a table that starts with shared members.
template <class Row, size_t A, size_t B>
constexpr std::array<Row, A + B> Join(const std::array<Row, A>& a, const std::array<Row, B>& b) {
    std::array<Row, A + B> rows{};
    for (size_t i = 0; i < A; ++i)
        rows[i] = a[i];
    for (size_t i = 0; i < B; ++i)
        rows[A + i] = b[i];
    return rows;
}

// The member registered under id, or null.
template <class Result>
const Member<Result>* MemberWithId(std::span<const Member<Result>> members, int id) {
    return id >= 1 && size_t(id) <= members.size() ? &members[size_t(id - 1)] : nullptr;
}

// Handlers are written as Call<&Class::Method> for a member function of the
// object's class (called on the object) and as Call<Function> for a function
// of the program (called with the object's program); see script_object.h.
template <class Method>
struct MethodClass;
template <class Result, class Class>
struct MethodClass<Result (Class::*)()> {
    using type = Class;
};

}  // namespace tallow
