// The interface every script-visible object answers: statements, number and
// string functions, and string and number members, plus the factories that
// create objects of a named type for `new`.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

#include "member_table.h"
#include "names.h"
#include "var_table.h"

namespace tallow {

class Program;

class ScriptObject {
public:
    // A named object enters the program's object registry; an unnamed one
    // does not.
    ScriptObject(Program& program, std::string name);
    virtual ~ScriptObject();
    ScriptObject(const ScriptObject&) = delete;
    ScriptObject& operator=(const ScriptObject&) = delete;

    // The eight operations. The base versions run the handler of the id in
    // the type's member table (AddMembers), report an unknown member, or use
    // the free-form member tables. Handlers read their parameters from the
    // program's lexer and leave it after their last parameter.
    virtual void ProcessStatement(int id);
    virtual double ProcessNumFunction(int id);
    virtual std::string ProcessStringFunction(int id);
    virtual void SetStringMember(std::string_view name, std::string value);
    virtual std::string GetStringMember(std::string_view name);
    virtual void SetNumMember(std::string_view name, double value);
    virtual double GetNumMember(std::string_view name);

    // Member lookup: the id registered under name, or 0.
    virtual int FindStatement(std::string_view name) const { return statements.Find(name); }
    virtual int FindNumFunction(std::string_view name) const { return numFunctions.Find(name); }
    virtual int FindStringFunction(std::string_view name) const { return stringFunctions.Find(name); }

    void AddStatement(std::string_view name, int id) { statements.Set(id, name); }
    void AddNumFunction(std::string_view name, int id) { numFunctions.Set(id, name); }
    void AddStringFunction(std::string_view name, int id) { stringFunctions.Set(id, name); }
    // Registers every member of the type's table under its id and makes the
    // Process operations run their handlers. The table outlives the object
    // (a constexpr table of the type).
    void AddMembers(const MemberTable& table);

    // Empties the free-form members (at the end of every run).
    void ClearMembers();
    // Roughly the bytes the object holds (its members; arrays their
    // elements), for the program's memory budget. May throw
    // std::length_error when the object is past a budget of its own.
    virtual size_t MemoryInUse() const { return numMembers.Bytes() + strMembers.Bytes(); }

    const std::string& Name() const { return name_; }
    Program& Owner() const { return program_; }

    NumVarTable numMembers;
    StrVarTable strMembers;
    NameList statements;
    NameList numFunctions;
    NameList stringFunctions;

protected:
    Program& program_;

private:
    friend class ObjectHold;
    friend class Program;

    std::string name_;
    const MemberTable* members_ = nullptr;
    // While members of the object run (holds), destroying it only takes its
    // name away; the factory destroys it when the last hold ends.
    int holds_ = 0;
    class ObjectFactory* destroyWhenFree_ = nullptr;
};

// Keeps an object alive while one of its members runs: a member may delete
// or replace its own object (through a procedure in its arguments, say), and
// must still find it when it goes on. Every member dispatch holds its object.
class ObjectHold {
public:
    explicit ObjectHold(ScriptObject& object) : object_(object) { ++object_.holds_; }
    ~ObjectHold();
    ObjectHold(const ObjectHold&) = delete;
    ObjectHold& operator=(const ObjectHold&) = delete;

private:
    ScriptObject& object_;
};

// The handler of a member table row: Call<&Class::Method> runs a member
// function of the object's class, Call<Function> a function of the program.
// The cast holds because only objects of Class register Class's table.
template <auto Handler>
auto Call(ScriptObject& object) {
    if constexpr (std::is_member_function_pointer_v<decltype(Handler)>) {
        using Class = typename MethodClass<decltype(Handler)>::type;
        return (static_cast<Class&>(object).*Handler)();
    } else {
        return Handler(object.Owner());
    }
}

class ObjectFactory {
public:
    // Enters the program's factory registry under typeName.
    ObjectFactory(Program& program, std::string typeName);
    virtual ~ObjectFactory();
    ObjectFactory(const ObjectFactory&) = delete;
    ObjectFactory& operator=(const ObjectFactory&) = delete;

    // Creates an object under name; may read creation parameters from the
    // statement and may raise script errors, in which case nothing is left.
    virtual ScriptObject* Create(const std::string& name) = 0;
    virtual void Destroy(ScriptObject* object) { delete object; }

    const std::string& Name() const { return name_; }

protected:
    Program& program_;

private:
    std::string name_;
};

}  // namespace tallow
