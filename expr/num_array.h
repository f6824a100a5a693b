// The "numarray" type: a script object holding a list of numbers, with
// element syntax name#[i], the members of every array and the total and
// average properties.
#pragma once

#include <string>

#include "expr/array_object.h"

namespace tallow {

class NumArrayObject : public ArrayObject<double> {
public:
    NumArrayObject(Program& program, std::string name);

    // total and average are read-only properties besides count.
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;
};

class NumArrayFactory : public ObjectFactory {
public:
    explicit NumArrayFactory(Program& program) : ObjectFactory(program, "numarray") {}
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
